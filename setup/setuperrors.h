#pragma once
// Exceptions of the setup engine. Each carries the message the user sees.
#include <stdexcept>
#include <string>

#include "components/messengerseam.h"

namespace setup {

class ESetupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whole-record inflating failed (compressed strings, blobs, tables).
class EDecompressionError : public ESetupError {
public:
    explicit EDecompressionError(const std::string& message = "error") : ESetupError(message) {}
};

// Stream inflating failed (installed files).
class ECompressionError : public ESetupError {
public:
    explicit ECompressionError(const std::string& message = "error") : ESetupError(message) {}
};

// The package breaks its own rules: a count, index, name or size that cannot
// be right. Raised before anything is written.
class EInvalidPackage : public ESetupError {
public:
    using ESetupError::ESetupError;
};

// The package bytes are damaged or missing: a short volume, a truncated or
// overlong stream, a size or checksum that does not match.
class EPackageDamaged : public ESetupError {
public:
    using ESetupError::ESetupError;
};

// Ends an installation run without a further message: the user answered No
// after an error or cancelled the prompt for a volume. Its message is empty,
// which the messenger seam takes as "show nothing".
class EAbortInstallation : public components::EAbort {
public:
    EAbortInstallation() : components::EAbort(std::string()) {}
};

} // namespace setup
