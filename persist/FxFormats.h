// Program ("fxp", magic "FxCk") and bank ("fxb", magic "FxBk") files in their
// parameter-list form: the layouts, their readers and writers, and the
// dispatch of a file path to its format by extension.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "persist/ProgramImage.h"

namespace persist {

constexpr std::size_t kProgramHeaderSize = 56;
constexpr std::size_t kBankHeaderSize = 156;

std::vector<std::uint8_t> writeProgram(const ProgramImage& image);
std::vector<std::uint8_t> writeBank(const BankImage& image);

// The readers never read past size and reject a file whose declared counts
// need more bytes than it holds. On failure the image is left as far as the
// reader had got.
bool readProgram(ProgramImage& image, const std::uint8_t* data, std::size_t size);
bool readBank(BankImage& image, const std::uint8_t* data, std::size_t size);

// File access by extension ("fxp" or "fxb", matched without regard to case
// on the file's own name). An unknown extension reads and writes nothing.
bool loadProgramFile(ProgramImage& image, const std::string& path);
bool saveProgramFile(const ProgramImage& image, const std::string& path);
bool loadBankFile(BankImage& image, const std::string& path);
bool saveBankFile(const BankImage& image, const std::string& path);

}  // namespace persist
