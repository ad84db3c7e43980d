// Braille ASCII files (.brf, and Braille ASCII .txt): North American Braille
// ASCII, lines ended by CR LF (or a lone LF or CR), pages by FF; what the
// "Code US" export writes, read back as a document.
#pragma once

#include <string_view>

#include "core/document/formatpage.h"
#include "core/fichiers/dtv.h"

namespace dotavob {

// Each character becomes its cell's byte (letters in either case, and the
// lower-case forms ` { | } ~ of @ [ \ ] ^), each line end a paragraph end
// (CR), each FF a page break (FF): the document has the file's lines and
// pages. The file's final line end and final page break only close its last
// line and page, and are not kept. Any other byte refuses the whole file,
// with the line and column (from 1) where it stands.
//
// The page format is `format` without header, footer or double spacing,
// widened to the file's longest line and, when the file breaks its pages,
// to its longest page, so that opening it neither re-wraps a line nor moves
// a page break (within the format's limits: 50 characters, 60 lines). A
// line longer than 50 cells is cut every 50 cells, each cell kept (a blank
// stays a blank), and the result's warning says how many were cut. Bytes
// 0x1A (the old end-of-file mark) at the end are not part of the file.
ResultatLecture litBrf(std::string_view octets, const FormatPage& format = FormatPage{});

// A text file that is all Unicode braille (UTF-8, with or without a byte
// order mark): six-dot patterns, spaces, line ends and page breaks, at
// least one pattern. It is what the Unicode braille export writes.
bool estTexteBrailleUnicode(std::string_view octets);
// Such a file read as `litBrf` reads the same cells written in Braille ASCII.
ResultatLecture litBrailleUnicode(std::string_view octets, const FormatPage& format = FormatPage{});

}  // namespace dotavob
