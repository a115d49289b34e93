#pragma once
// Helpers shared by the RTF engine's tests.
#include <string>
#include <vector>

namespace rtf {
class RtfDocument;
}

namespace rtftest {

// A readable description of a document (paragraph and run formats, texts),
// so that a failing comparison shows where two documents differ.
std::string DumpDocument(const rtf::RtfDocument& doc);

// Bytes of a file under tests/data/rtf.
std::string ReadFixture(const std::string& name);
// Names of every fixture file (*.rtf) under tests/data/rtf.
std::vector<std::string> FixtureNames();
// Bytes of any file.
std::string ReadFileBytes(const std::string& path);

} // namespace rtftest
