#pragma once

// File formats of the artwork. Every writer is deterministic: the same pixels give the same
// bytes on every run.

#include "piece_art.h"

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

using Bytes = std::vector<std::uint8_t>;

// An uncompressed 4-bit BMP with the standard 16-colour palette; every pixel must be one of
// its colours (black, white and the light grey are the ones we use).
Bytes encodeBmp16(const Image& image);

// The alpha from which a pixel of a GIF is opaque: a little under one half keeps thin spikes
// joined to the balls on top of them.
constexpr std::uint32_t GifOpaqueAlpha = 100;

// A GIF89a whose colours are those of the opaque pixels (rounded more coarsely until at most
// 255 remain) plus a transparent entry 0 for every pixel with alpha below GifOpaqueAlpha.
Bytes encodeGif(const Image& image);

// A baseline JPEG of the opaque picture, 4:4:4, at the given quality.
Bytes encodeJpeg(const Image& image, int quality);

// An RGB PNG of the opaque picture, zlib level 9, one IDAT chunk.
Bytes encodePng(const Image& image);

// An RGBA PNG that keeps the picture's alpha, zlib level 9, one IDAT chunk.
Bytes encodePngWithAlpha(const Image& image);

// Writes the text; throws std::runtime_error on failure.
void writeText(const std::string& path, const std::string& text);

// Writes the bytes; throws std::runtime_error on failure.
void writeFile(const std::string& path, const Bytes& bytes);

} // namespace artgen
