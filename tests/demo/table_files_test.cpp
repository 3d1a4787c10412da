// The table files mt2.tbl and mt3.tbl, read back: every line is a code and its
// text, and every code of the game decodes through the decoder to that text
// (converted from UTF-8 to code page 932), or to "〓" when the file leaves it
// out.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cctype>
#include <cstdio>
#include <map>

#include "tests/support/test_util.h"

namespace {

const std::string kTableDir = MT_TABLE_DIR;
const std::string kUnusedUtf8 = "\xE3\x80\x93";  // 〓 in UTF-8

// Codes as the table files write them: 0x00-0xFF for single bytes, 0x2000-
// 0x23FF for the lead byte and the second byte of a two-byte code.
struct TableFile {
    bool has_line_end = false;
    std::map<unsigned, std::string> texts;  // code -> UTF-8 text
};

// "HH=text" or "HHHH=text", upper-case hex digits and a text of one character
// or more.
bool parse_entry(const std::string& line, unsigned* code, std::string* text) {
    const size_t eq = line.find('=');
    if ((eq != 2 && eq != 4) || line.size() == eq + 1) return false;
    for (size_t i = 0; i < eq; ++i)
        if (!std::isdigit(static_cast<unsigned char>(line[i])) && (line[i] < 'A' || line[i] > 'F')) return false;
    *code = static_cast<unsigned>(std::stoul(line.substr(0, eq), nullptr, 16));
    *text = line.substr(eq + 1);
    return true;
}

TableFile read_table_file(const std::string& path) {
    TableFile table;
    const std::vector<std::string> lines = split_lines(read_file(path));
    for (size_t i = 0; i < lines.size(); ++i) {
        unsigned code = 0;
        std::string text;
        if (lines[i] == "*00" && i == 0) {
            table.has_line_end = true;
        } else if (parse_entry(lines[i], &code, &text)) {
            EXPECT_TRUE(table.texts.empty() || table.texts.rbegin()->first < code) << "out of order: " << lines[i];
            table.texts[code] = text;
        } else {
            ADD_FAILURE() << path << ": line " << i + 1 << " is no table entry: " << lines[i];
        }
    }
    return table;
}

#ifdef _WIN32
std::string utf8_to_cp932(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                                        static_cast<int>(text.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    std::string out(text.size() * 2 + 8, '\0');
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                      static_cast<int>(out.size()), nullptr, &lossy);
    if (n <= 0 || lossy) return "(not convertible: " + text + ")";
    out.resize(static_cast<size_t>(n));
    return out;
}
#else
std::string utf8_to_cp932(const std::string& text) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no CP932 converter)";
    std::string in = text, out(text.size() * 2 + 8, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t src_left = in.size(), dst_left = out.size();
    const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "(not convertible: " + text + ")";
    out.resize(out.size() - dst_left);
    return out;
}
#endif

// Every code of a game but the line end, each followed by a line end.
std::vector<unsigned> all_codes() {
    std::vector<unsigned> codes;
    for (unsigned c = 0x01; c < 0x100; ++c)
        if (c < 0x20 || c > 0x23) codes.push_back(c);
    for (unsigned c = 0x2000; c < 0x2400; ++c) codes.push_back(c);
    return codes;
}

std::string game_text(const std::vector<unsigned>& codes) {
    std::string bytes;
    for (unsigned c : codes) {
        if (c > 0xFF) bytes += static_cast<char>(c >> 8);
        bytes += static_cast<char>(c & 0xFF);
        bytes += '\0';
    }
    return bytes;
}

void check_table_file(const std::string& table_name, const std::string& decoder) {
    const TableFile table = read_table_file(kTableDir + "/" + table_name);
    EXPECT_TRUE(table.has_line_end) << table_name << " lacks the line-end entry *00";
    const std::vector<unsigned> codes = all_codes();
    TempDir dir;
    write_file(dir.file("codes.bin"), game_text(codes));
    const RunResult r = run_tool(decoder, {dir.file("codes.bin"), dir.file("codes.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> decoded = split_lines(read_text_file(dir.file("codes.txt")));
    ASSERT_EQ(decoded.size(), codes.size());
    size_t listed = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        const auto entry = table.texts.find(codes[i]);
        if (entry == table.texts.end()) {
            EXPECT_EQ(decoded[i], "〓") << table_name << " leaves out code " << std::hex << codes[i];
            continue;
        }
        ++listed;
        EXPECT_NE(entry->second, kUnusedUtf8) << table_name << " lists the unused code " << std::hex << codes[i];
        EXPECT_EQ(utf8_to_cp932(entry->second), decoded[i]) << table_name << " code " << std::hex << codes[i];
    }
    EXPECT_EQ(listed, table.texts.size()) << table_name << " lists codes that are no codes of the game";
}

}  // namespace

TEST(TableFiles, GameATableDecodesLikeMt2decoder) { check_table_file("mt2.tbl", MT2DECODER); }

TEST(TableFiles, GameBTableDecodesLikeMt3decoder) { check_table_file("mt3.tbl", MT3DECODER); }

TEST(TableFiles, TheFilesAreUtf8) {
    for (const char* name : {"mt2.tbl", "mt3.tbl"}) {
        const std::string text = read_file(kTableDir + "/" + name);
        EXPECT_NE(text.find("51=\xE3\x81\x82\n"), std::string::npos) << name << ": あ in UTF-8";
        EXPECT_NE(text.find("2300=0\n"), std::string::npos) << name;
        EXPECT_EQ(utf8_to_cp932(text).find("(not convertible"), std::string::npos) << name;
    }
}
