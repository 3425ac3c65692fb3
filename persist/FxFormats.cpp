#include "persist/FxFormats.h"

#include <algorithm>
#include <cstring>

#include "platform/FileIo.h"

namespace persist {
namespace {

void putWord(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t word) {
    out[at] = static_cast<std::uint8_t>(word >> 24);
    out[at + 1] = static_cast<std::uint8_t>(word >> 16);
    out[at + 2] = static_cast<std::uint8_t>(word >> 8);
    out[at + 3] = static_cast<std::uint8_t>(word);
}

void putMagic(std::vector<std::uint8_t>& out, std::size_t at, const char* magic) {
    std::memcpy(&out[at], magic, 4);
}

std::uint32_t getWord(const std::uint8_t* data, std::size_t at) {
    return (static_cast<std::uint32_t>(data[at]) << 24) | (static_cast<std::uint32_t>(data[at + 1]) << 16) |
           (static_cast<std::uint32_t>(data[at + 2]) << 8) | static_cast<std::uint32_t>(data[at + 3]);
}

bool hasMagic(const std::uint8_t* data, std::size_t at, const char* magic) {
    return std::memcmp(data + at, magic, 4) == 0;
}

std::size_t programRecordSize(int parameterCount) {
    return kProgramHeaderSize + 4u * static_cast<std::size_t>(parameterCount);
}

// One program record at out[at]: a program file's layout.
void putProgramRecord(std::vector<std::uint8_t>& out, std::size_t at, const ProgramImage& image,
                      std::int32_t pluginId, std::uint32_t byteSize, int parameterCount) {
    putMagic(out, at, "CcnK");
    putWord(out, at + 4, byteSize);
    putMagic(out, at + 8, "FxCk");
    putWord(out, at + 12, 1);
    putWord(out, at + 16, static_cast<std::uint32_t>(pluginId));
    putWord(out, at + 20, 1);
    putWord(out, at + 24, static_cast<std::uint32_t>(parameterCount));
    const std::string& name = image.name();
    std::memcpy(&out[at + 28], name.data(), std::min<std::size_t>(name.size(), 28));
    for (int i = 0; i < parameterCount; ++i)
        putWord(out, at + kProgramHeaderSize + 4u * static_cast<std::size_t>(i), image.parameterWord(i));
}

// Reads the name, count and words of the record at data[at]; false when the
// record's declared count runs past the data.
bool readProgramRecord(ProgramImage& image, const std::uint8_t* data, std::size_t size, std::size_t at,
                       int currentCount, std::size_t* recordSize) {
    if (size < at || size - at < kProgramHeaderSize) return false;
    const std::int32_t declared = static_cast<std::int32_t>(getWord(data, at + 24));
    if (declared < 0 || (size - at - kProgramHeaderSize) / 4 < static_cast<std::size_t>(declared)) return false;
    const char* nameField = reinterpret_cast<const char*>(data + at + 28);
    image.setName(std::string(nameField, strnlen(nameField, 28)));
    if (declared > currentCount) image.setParameterCount(declared);
    else image.setParameterCount(currentCount);
    for (int i = 0; i < declared; ++i)
        image.parameterWord(i) = getWord(data, at + kProgramHeaderSize + 4u * static_cast<std::size_t>(i));
    for (int i = declared; i < currentCount; ++i) image.parameterWord(i) = 0;
    *recordSize = programRecordSize(declared);
    return true;
}

}  // namespace

std::vector<std::uint8_t> writeProgram(const ProgramImage& image) {
    const int count = image.parameterCount();
    std::vector<std::uint8_t> out(programRecordSize(count), 0);
    // A stand-alone program file carries 0 in its byte-size field.
    putProgramRecord(out, 0, image, image.pluginId(), 0, count);
    return out;
}

std::vector<std::uint8_t> writeBank(const BankImage& image) {
    const int count = image.parameterCount();
    const std::size_t record = programRecordSize(count);
    std::vector<std::uint8_t> out(kBankHeaderSize + record * static_cast<std::size_t>(image.programCount()), 0);
    putMagic(out, 0, "CcnK");
    putWord(out, 4, static_cast<std::uint32_t>(out.size() - 8));
    putMagic(out, 8, "FxBk");
    putWord(out, 12, 1);
    putWord(out, 16, static_cast<std::uint32_t>(image.pluginId()));
    putWord(out, 20, 1);
    putWord(out, 24, static_cast<std::uint32_t>(image.programCount()));
    for (int p = 0; p < image.programCount(); ++p)
        putProgramRecord(out, kBankHeaderSize + record * static_cast<std::size_t>(p), image.program(p),
                         image.pluginId(), static_cast<std::uint32_t>(record - 8), count);
    return out;
}

bool readProgram(ProgramImage& image, const std::uint8_t* data, std::size_t size) {
    if (!data || size < kProgramHeaderSize) return false;
    if (!hasMagic(data, 0, "CcnK") || !hasMagic(data, 8, "FxCk")) return false;
    const std::int32_t id = static_cast<std::int32_t>(getWord(data, 16));
    if (id != image.pluginId()) return false;
    std::size_t recordSize = 0;
    if (!readProgramRecord(image, data, size, 0, image.parameterCount(), &recordSize)) return false;
    image.setPluginId(id);
    return true;
}

bool readBank(BankImage& image, const std::uint8_t* data, std::size_t size) {
    if (!data || size < kBankHeaderSize) return false;
    if (!hasMagic(data, 0, "CcnK") || !hasMagic(data, 8, "FxBk")) return false;
    if (static_cast<std::int32_t>(getWord(data, 16)) != image.pluginId()) return false;
    if (static_cast<std::int32_t>(getWord(data, 24)) != image.programCount()) return false;
    std::size_t at = kBankHeaderSize;
    for (int p = 0; p < image.programCount(); ++p) {
        std::size_t recordSize = 0;
        if (!readProgramRecord(image.program(p), data, size, at, image.parameterCount(), &recordSize))
            return false;
        at += recordSize;
    }
    return true;
}

bool loadProgramFile(ProgramImage& image, const std::string& path) {
    if (platform::fileExtension(path) != "fxp") return false;
    auto bytes = platform::readWholeFile(path);
    return bytes && readProgram(image, bytes->data(), bytes->size());
}

bool saveProgramFile(const ProgramImage& image, const std::string& path) {
    if (platform::fileExtension(path) != "fxp") return false;
    return platform::writeFileAtomically(path, writeProgram(image));
}

bool loadBankFile(BankImage& image, const std::string& path) {
    if (platform::fileExtension(path) != "fxb") return false;
    auto bytes = platform::readWholeFile(path);
    return bytes && readBank(image, bytes->data(), bytes->size());
}

bool saveBankFile(const BankImage& image, const std::string& path) {
    if (platform::fileExtension(path) != "fxb") return false;
    return platform::writeFileAtomically(path, writeBank(image));
}

}  // namespace persist
