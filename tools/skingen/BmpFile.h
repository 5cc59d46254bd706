// Uncompressed 24-bit Windows bitmap files.
#pragma once

#include "tools/skingen/Image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skingen {

constexpr int BmpHeaderSize = 54; // file header 14 + info header 40

std::vector<std::uint8_t> encodeBmp(const Image& image);
// Reads back what encodeBmp writes (24-bit, uncompressed, either row order); nothing for anything else.
std::optional<Image> decodeBmp(const std::vector<std::uint8_t>& bytes);
bool writeBmp(const std::string& path, const Image& image);

} // namespace skingen
