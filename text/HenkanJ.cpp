#include "text/HenkanJ.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/SjisText.h"

namespace tabulon {

namespace {

// Every character that changes lies in three JIS rows, reached through three lead bytes:
//   0x81: row 0x21 (trail 0x40..0x9E), the symbols;
//   0x82: row 0x23 (trail 0x40..0x9E), full-width digits and letters, and row 0x24 (trail
//         0x9F..0xFC), hiragana;
//   0x83: row 0x25 (trail 0x40..0x9E), katakana.
// A trail byte below 0x9F maps to an odd row, cell trail - 0x1F (trail - 0x20 from 0x80 on); a
// trail byte from 0x9F maps to the even row above, cell trail - 0x7E.
constexpr unsigned char kSymbolLead = 0x81;
constexpr unsigned char kLatinHiraganaLead = 0x82;
constexpr unsigned char kKatakanaLead = 0x83;

constexpr bool IsTrailByte(unsigned char c) {
  return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// The cell of a second byte from 0x20 up (the standard conversion; valid trail bytes are 0x40 up).
constexpr unsigned CellOf(unsigned char trail) {
  if (trail >= 0x9F) return trail - 0x7Eu;
  return trail >= 0x80 ? trail - 0x20u : trail - 0x1Fu;
}

struct SymbolPair {
  uint16_t fullWidth;  // Shift-JIS code, lead byte 0x81
  uint8_t halfWidth;   // the one byte it becomes
};

// The 37 symbols, in the order of the two parallel lists.
constexpr SymbolPair kSymbols[] = {
    {0x8140, 0x20},  // 　
    {0x8149, 0x21},  // ！
    {0x8168, 0x22},  // ”
    {0x8194, 0x23},  // ＃
    {0x8190, 0x24},  // ＄
    {0x8193, 0x25},  // ％
    {0x8195, 0x26},  // ＆
    {0x8166, 0x27},  // ’
    {0x8169, 0x28},  // （
    {0x816A, 0x29},  // ）
    {0x8181, 0x3D},  // ＝
    {0x8165, 0x60},  // ‘
    {0x8162, 0x7C},  // ｜
    {0x817C, 0x2D},  // －
    {0x814F, 0x5E},  // ＾
    {0x818F, 0x5C},  // ￥ (0x5C is the yen sign of the single-byte set)
    {0x8150, 0x7E},  // ￣
    {0x816F, 0x7B},  // ｛
    {0x8197, 0x40},  // ＠
    {0x8175, 0x5B},  // 「
    {0x817B, 0x2B},  // ＋
    {0x8196, 0x2A},  // ＊
    {0x8170, 0x7D},  // ｝
    {0x8147, 0x3B},  // ；
    {0x8146, 0x3A},  // ：
    {0x8176, 0x5D},  // 」
    {0x8183, 0x3C},  // ＜
    {0x8184, 0x3E},  // ＞
    {0x8148, 0x3F},  // ？
    {0x8151, 0x5F},  // ＿
    {0x8141, 0xA4},  // 、 → ､
    {0x8142, 0xA1},  // 。 → ｡
    {0x8145, 0xA5},  // ・ → ･
    {0x8143, 0x2C},  // ，
    {0x8144, 0x2E},  // ．
    {0x815E, 0x2F},  // ／
    {0x815B, 0xB0},  // ー → ｰ
};
static_assert(std::size(kSymbols) == 37);

// Half-width byte of a 0x81 character by its trail byte; 0 where the character is not a symbol
// (no symbol becomes 0x00).
constexpr std::array<uint8_t, 256> kSymbolByTrail = [] {
  std::array<uint8_t, 256> table{};
  for (const SymbolPair& s : kSymbols) table[s.fullWidth & 0xFF] = s.halfWidth;
  return table;
}();

constexpr uint8_t kVoiced = 0xDE;      // ﾞ
constexpr uint8_t kSemiVoiced = 0xDF;  // ﾟ

struct KanaEntry {
  uint8_t letter;  // half-width katakana 0xA6..0xDD
  uint8_t mark;    // 0, kVoiced or kSemiVoiced
};

constexpr unsigned kFirstKanaCell = 0x21;
constexpr unsigned kLastKanaCell = 0x76;

// Rows 0x24 (hiragana) and 0x25 (katakana) by cell, from 0x21. Cells 0x74..0x76 exist only as
// katakana; the hiragana codes there share their entries.
constexpr KanaEntry kKana[kLastKanaCell - kFirstKanaCell + 1] = {
    {0xA7, 0},            // 21 ぁ ァ → ｧ
    {0xB1, 0},            // 22 あ ア → ｱ
    {0xA8, 0},            // 23 ぃ ィ → ｨ
    {0xB2, 0},            // 24 い イ → ｲ
    {0xA9, 0},            // 25 ぅ ゥ → ｩ
    {0xB3, 0},            // 26 う ウ → ｳ
    {0xAA, 0},            // 27 ぇ ェ → ｪ
    {0xB4, 0},            // 28 え エ → ｴ
    {0xAB, 0},            // 29 ぉ ォ → ｫ
    {0xB5, 0},            // 2A お オ → ｵ
    {0xB6, 0},            // 2B か カ → ｶ
    {0xB6, kVoiced},      // 2C が ガ → ｶﾞ
    {0xB7, 0},            // 2D き キ → ｷ
    {0xB7, kVoiced},      // 2E ぎ ギ → ｷﾞ
    {0xB8, 0},            // 2F く ク → ｸ
    {0xB8, kVoiced},      // 30 ぐ グ → ｸﾞ
    {0xB9, 0},            // 31 け ケ → ｹ
    {0xB9, kVoiced},      // 32 げ ゲ → ｹﾞ
    {0xBA, 0},            // 33 こ コ → ｺ
    {0xBA, kVoiced},      // 34 ご ゴ → ｺﾞ
    {0xBB, 0},            // 35 さ サ → ｻ
    {0xBB, kVoiced},      // 36 ざ ザ → ｻﾞ
    {0xBC, 0},            // 37 し シ → ｼ
    {0xBC, kVoiced},      // 38 じ ジ → ｼﾞ
    {0xBD, 0},            // 39 す ス → ｽ
    {0xBD, kVoiced},      // 3A ず ズ → ｽﾞ
    {0xBE, 0},            // 3B せ セ → ｾ
    {0xBE, kVoiced},      // 3C ぜ ゼ → ｾﾞ
    {0xBF, 0},            // 3D そ ソ → ｿ
    {0xBF, kVoiced},      // 3E ぞ ゾ → ｿﾞ
    {0xC0, 0},            // 3F た タ → ﾀ
    {0xC0, kVoiced},      // 40 だ ダ → ﾀﾞ
    {0xC1, 0},            // 41 ち チ → ﾁ
    {0xC1, kVoiced},      // 42 ぢ ヂ → ﾁﾞ
    {0xAF, 0},            // 43 っ ッ → ｯ
    {0xC2, 0},            // 44 つ ツ → ﾂ
    {0xC2, kVoiced},      // 45 づ ヅ → ﾂﾞ
    {0xC3, 0},            // 46 て テ → ﾃ
    {0xC3, kVoiced},      // 47 で デ → ﾃﾞ
    {0xC4, 0},            // 48 と ト → ﾄ
    {0xC4, kVoiced},      // 49 ど ド → ﾄﾞ
    {0xC5, 0},            // 4A な ナ → ﾅ
    {0xC6, 0},            // 4B に ニ → ﾆ
    {0xC7, 0},            // 4C ぬ ヌ → ﾇ
    {0xC8, 0},            // 4D ね ネ → ﾈ
    {0xC9, 0},            // 4E の ノ → ﾉ
    {0xCA, 0},            // 4F は ハ → ﾊ
    {0xCA, kVoiced},      // 50 ば バ → ﾊﾞ
    {0xCA, kSemiVoiced},  // 51 ぱ パ → ﾊﾟ
    {0xCB, 0},            // 52 ひ ヒ → ﾋ
    {0xCB, kVoiced},      // 53 び ビ → ﾋﾞ
    {0xCB, kSemiVoiced},  // 54 ぴ ピ → ﾋﾟ
    {0xCC, 0},            // 55 ふ フ → ﾌ
    {0xCC, kVoiced},      // 56 ぶ ブ → ﾌﾞ
    {0xCC, kSemiVoiced},  // 57 ぷ プ → ﾌﾟ
    {0xCD, 0},            // 58 へ ヘ → ﾍ
    {0xCD, kVoiced},      // 59 べ ベ → ﾍﾞ
    {0xCD, kSemiVoiced},  // 5A ぺ ペ → ﾍﾟ
    {0xCE, 0},            // 5B ほ ホ → ﾎ
    {0xCE, kVoiced},      // 5C ぼ ボ → ﾎﾞ
    {0xCE, kSemiVoiced},  // 5D ぽ ポ → ﾎﾟ
    {0xCF, 0},            // 5E ま マ → ﾏ
    {0xD0, 0},            // 5F み ミ → ﾐ
    {0xD1, 0},            // 60 む ム → ﾑ
    {0xD2, 0},            // 61 め メ → ﾒ
    {0xD3, 0},            // 62 も モ → ﾓ
    {0xAC, 0},            // 63 ゃ ャ → ｬ
    {0xD4, 0},            // 64 や ヤ → ﾔ
    {0xAD, 0},            // 65 ゅ ュ → ｭ
    {0xD5, 0},            // 66 ゆ ユ → ﾕ
    {0xAE, 0},            // 67 ょ ョ → ｮ
    {0xD6, 0},            // 68 よ ヨ → ﾖ
    {0xD7, 0},            // 69 ら ラ → ﾗ
    {0xD8, 0},            // 6A り リ → ﾘ
    {0xD9, 0},            // 6B る ル → ﾙ
    {0xDA, 0},            // 6C れ レ → ﾚ
    {0xDB, 0},            // 6D ろ ロ → ﾛ
    {0xDC, 0},            // 6E ゎ ヮ → ﾜ (no small half-width form)
    {0xDC, 0},            // 6F わ ワ → ﾜ
    {0xB2, 0},            // 70 ゐ ヰ → ｲ
    {0xB4, 0},            // 71 ゑ ヱ → ｴ
    {0xB5, 0},            // 72 を ヲ → ｵ, by sound; ｦ is never produced
    {0xDD, 0},            // 73 ん ン → ﾝ
    {0xB3, kVoiced},      // 74 ヴ → ｳﾞ
    {0xB6, 0},            // 75 ヵ → ｶ
    {0xB9, 0},            // 76 ヶ → ｹ
};

// Writes the normalised form of text at out, which has room for text.size() bytes (no character
// grows); returns the end of what was written.
char* Normalise(std::string_view text, char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (!IsLeadByte(c)) {
      *out++ = static_cast<char>(c);
      ++p;
      continue;
    }
    if (p + 1 == end) {
      // A lead byte cut off by the end of the text: kept, so nothing of the cell is lost.
      *out++ = static_cast<char>(c);
      break;
    }
    const unsigned char t = p[1];
    // The standard conversion gives a cell also for second bytes from 0x20 up that are no valid
    // trail bytes (0x82 '1' is row 0x23, cell 0x12); lower ones give none, and such a pair is
    // copied, as is any character outside the three rows.
    if (c >= kSymbolLead && c <= kKatakanaLead && (IsTrailByte(t) || t >= 0x20)) {
      const bool oddRow = t < 0x9F;
      const unsigned cell = CellOf(t);
      if (c == kSymbolLead) {
        if (oddRow && kSymbolByTrail[t] != 0) {
          *out++ = static_cast<char>(kSymbolByTrail[t]);
          p += 2;
          continue;
        }
      } else if (c == kLatinHiraganaLead && oddRow) {
        *out++ = static_cast<char>(cell);  // row 0x23: the cell is the ASCII code
        p += 2;
        continue;
      } else if (c == kKatakanaLead && !oddRow) {
        // Row 0x26 (Greek): copied below.
      } else if (cell >= kFirstKanaCell && cell <= kLastKanaCell) {
        const KanaEntry& k = kKana[cell - kFirstKanaCell];
        *out++ = static_cast<char>(k.letter);
        if (k.mark != 0) *out++ = static_cast<char>(k.mark);
        p += 2;
        continue;
      } else {
        // An unassigned kana cell: the lead byte alone is copied and the next byte starts over.
        *out++ = static_cast<char>(c);
        ++p;
        continue;
      }
    }
    *out++ = static_cast<char>(c);
    *out++ = static_cast<char>(t);
    p += 2;
  }
  return out;
}

}  // namespace

bool IsHankakuAlready(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  // Eight ASCII bytes at a time, then byte by byte where a high bit shows.
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & 0x8080808080808080ull) != 0) break;
    p += 8;
  }
  for (; p < end; ++p) {
    if (IsLeadByte(static_cast<unsigned char>(*p))) return false;
  }
  return true;
}

void ToHankakuInto(std::string_view text, std::string* out) {
  if (IsHankakuAlready(text)) {
    out->assign(text);
    return;
  }
  out->resize(text.size());
  char* const begin = out->data();
  out->resize(static_cast<size_t>(Normalise(text, begin) - begin));
}

std::string ToHankaku(std::string_view text) {
  std::string result;
  ToHankakuInto(text, &result);
  return result;
}

}  // namespace tabulon
