#pragma once
// Character sets that a document declares in a <meta> element, read as browsers read them:
// labels by the WHATWG Encoding Standard's table, bytes decoded by the system's iconv.

#include <string>
#include <string_view>

namespace quorvik {

// The iconv name of the encoding that a <meta charset> or <meta http-equiv="Content-Type"
// content="...; charset=..."> among the given bytes (the first 1,024 of a document) declares;
// empty when there is none or its label is unknown. "WINDOWS-1252" also stands for the labels
// iso-8859-1, latin1 and us-ascii; a declared UTF-16 means UTF-8, as the bytes were read as
// ASCII to find it. Besides iconv names, "replacement" (labels that are never decoded) and
// "x-user-defined" can come back.
std::string DeclaredEncoding(const char* data, std::size_t size);

// The iconv name for an encoding label (letter case and spaces around it ignored); empty when
// unknown.
std::string EncodingForLabel(std::string_view label);

// For an encoding of one byte per character that keeps ASCII: the character of every byte
// (U+FFFD where the encoding has none). False for any other encoding.
bool SingleByteTable(const std::string& encoding, char32_t table[256]);

// The bytes in `encoding` as UTF-8; bytes that do not decode become U+FFFD.
std::string DecodeToUtf8(const std::string& encoding, const char* data, std::size_t size);

}  // namespace quorvik
