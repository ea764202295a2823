#pragma once
// A look at the Huffman codes a deflate stream declares, for the readers that take fewer streams than
// RFC 1951 allows.
#include <cstddef>

namespace pw::fci {

enum class CodeShape {
    Complete,      // blocks that every reader decodes: stored, fixed codes, or complete codes
    LiteralsOnly,  // one final block of literals alone, whose distance code is empty (one of length 0)
    Unknown,       // any other incomplete code, or a stream that does not read to its final block
};

// A dynamic block may declare a code that leaves some bit patterns unused: no distance at all when it
// holds only literals, or a single distance code of length 1. The format allows both, but libmspack, the
// reader behind cabextract, refuses such a block and every block after it in its folder. Each block of the
// stream is looked at; those before the last are read through to find where the next one starts.
CodeShape ShapeOfCodes(const unsigned char* stream, std::size_t size);

}  // namespace pw::fci
