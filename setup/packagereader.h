#pragma once
// Reads the byte stream of a setup package: the setup executable itself
// (volume 1) and its continuation volumes ".002", ".003", ... Every field is
// read through the volume-crossing stream, so a record may straddle a volume
// end. Every volume but the last holds exactly the volume size; a shorter one
// that is not the last is damaged.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "setup/decompression.h"
#include "setup/targetwriter.h"
#include "setup/uistrings.h"

namespace setup {

// Asked when a volume the package needs is missing (the wizard answers it).
class IVolumePrompter {
public:
    virtual ~IVolumePrompter() = default;
    // `prompt` is the package's own text for this volume; `fileName` the
    // path looked at, which the answer may move to another folder (the
    // reader then looks for this and later volumes there). True: look
    // again; false: cancel the installation.
    virtual bool AskForVolume(std::uint32_t number, std::string& fileName,
                              const std::string& prompt) = 0;
};

// The name of volume `number`: the package path itself for 1, else its
// extension replaced by "." and the number with at least three digits.
std::string VolumeFileName(const std::string& packagePath, std::uint32_t number);

// Called with each block of inflated bytes while a file is extracted; may
// throw (components::EAbort) to stop.
using TExtractProgress = std::function<void(std::size_t bytes)>;

class TPackageReader {
public:
    static constexpr std::uint32_t kOffsetPosition = 144;
    static constexpr std::size_t kBufferSize = 65536;
    static constexpr std::size_t kExtractBlockSize = 1u << 20;
    // Files whose packed and inflated sizes are both at most this are
    // inflated whole.
    static constexpr std::size_t kWholeFileLimit = 256u << 10;
    // All texts and tables of one package together never inflate beyond this.
    static constexpr std::uint64_t kMaxInflatedTotal = 64u << 20;

    TPackageReader();
    ~TPackageReader();
    TPackageReader(const TPackageReader&) = delete;
    TPackageReader& operator=(const TPackageReader&) = delete;

    // Null: a missing volume fails at once with a message (silent mode).
    void SetVolumePrompter(IVolumePrompter* prompter) { prompter_ = prompter; }
    // The package's texts for prompts and errors, and the publisher text
    // that read errors name.
    void SetMessages(const TUiStrings* ui, std::string publisherText);

    // Opens the setup executable, goes to the offset stored at byte 144 and
    // reads the volume size.
    void OpenPackage(const std::string& path);
    void ClosePackage();
    bool IsOpen() const { return fd_ >= 0; }

    const std::string& PackagePath() const { return path_; }
    std::int32_t VolumeSize() const { return volumeSize_; }
    std::uint32_t CurrentVolume() const { return volume_; }
    std::uint32_t DataOffset() const { return dataOffset_; }
    // Logical position: an offset into the concatenation of the volumes.
    std::uint64_t Position() const;

    // Makes `position` the next byte to read, opening another volume (and
    // asking for it) when needed.
    void SeekPackage(std::uint64_t position);

    // Exactly `count` bytes or EPackageDamaged.
    void Read(void* buffer, std::size_t count);
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::uint32_t ReadDWord();
    void Skip(std::uint64_t count);

    // One compressed record: 32-bit length L, then L bytes of one zlib
    // stream (L < 1: empty). The stream must fill exactly L bytes.
    std::string ReadCompressedString(std::size_t cap = kMaxInflatedRecord);
    // Inflates the next compressed record into a new file at `path` (through
    // a temporary file in its folder) without holding it in memory.
    void ExtractPackageBlob(const std::string& path);
    // The same into an open file (used for the private temporary folder).
    void ExtractPackageBlobTo(int fd, const std::string& pathForMessages);
    // The same into any sink of inflated blocks.
    using TBlockSink = std::function<void(const unsigned char* data, std::size_t count)>;
    void ExtractBlob(const TBlockSink& sink, const std::string& pathForMessages);

    // One compressed file stream at the current position: 32-bit compressed
    // size, then the zlib stream. The output must end with the stream and
    // match `size` and `crc` exactly. It is written to a temporary file in
    // the target's folder and renamed over the target only when complete;
    // when that rename fails the file stays under its temporary name, which
    // `deferRename` records and which is returned (else "" is returned).
    std::string ExtractPackageFile(const std::string& target, std::uint32_t size, std::uint32_t crc,
                                   const TExtractProgress& progress = {},
                                   const TDeferRename& deferRename = {});

    // The message of a read failure of `target` (UI strings 72 and 70).
    std::string ReadErrorMessage(const std::string& target) const;
    std::string WriteErrorMessage(const std::string& target) const;

private:
    class LimitedSource;
    friend class LimitedSource;

    std::size_t ReadSome(void* buffer, std::size_t count);
    void OpenVolume(std::uint32_t number);
    void SeekInVolume(std::uint64_t offset);
    [[noreturn]] void Damaged(const std::string& detail) const;
    std::uint32_t InflateRecordTo(const TBlockSink& sink);

    std::string path_;
    int fd_ = -1;
    std::uint32_t volume_ = 0;
    std::uint64_t volumeFileSize_ = 0;
    std::uint64_t fileOffset_ = 0; // offset of the next unread byte in the volume
    std::int32_t volumeSize_ = 0;
    std::uint32_t dataOffset_ = 0;
    unsigned char* buffer_ = nullptr;
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
    IVolumePrompter* prompter_ = nullptr;
    std::string volumeFolder_; // where the person said the volumes are; empty: beside volume 1
    const TUiStrings* ui_ = nullptr;
    std::string publisherText_;
    std::uint64_t inflatedTotal_ = 0;
    // The packed and inflated bytes of a small file (kWholeFileLimit each),
    // made on first use.
    std::unique_ptr<unsigned char[]> packedBuffer_;
    std::unique_ptr<unsigned char[]> fileBuffer_;
};

// The name of a file without its folder (either separator).
std::string ExtractFileName(const std::string& path);
// The folder of a path, without trailing separator ("." when none).
std::string ExtractFileDir(const std::string& path);

} // namespace setup
