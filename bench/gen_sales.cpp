// tabulon-gen: writes a synthetic Japanese sales-slip CSV in Shift-JIS for benchmarks and the
// bundled sample.
//
//   tabulon-gen ROWS OUT.csv [--seed N]   write a header line and ROWS data lines
//   tabulon-gen --stamps ROWS OUT.csv [--seed N]   the same for the stamps file (GenerateStamps)
//   tabulon-gen --self-check              check determinism and the shape of the output
//
// The output depends only on ROWS and the seed: the random numbers come from splitmix64 and all
// arithmetic is integer, so any compiler and C library give the same bytes.
//
// Columns: 伝票番号,日付,時刻,店舗,地域,商品名,分類,数量,単価,金額,顧客コード,備考
// Lines end with CR LF; a line averages about 95 bytes, so 1,000,000 rows make about 96 MB.

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// UTF-8 to Shift-JIS for the fixed texts of this program.
//
// Kana, full-width letters and digits and the full-width space are mapped by arithmetic; every
// other non-ASCII character must be listed in kTable, sorted by code point. A text with a
// character outside these sets stops the program at start-up, so a new product name cannot
// silently produce wrong bytes.

struct SjisCode {
  char32_t cp;    // Unicode code point
  uint16_t sjis;  // Shift-JIS double-byte code, lead byte in the high half
};

// clang-format off
constexpr SjisCode kTable[] = {
    {U'×', 0x817E}, {U'・', 0x8145}, {U'ー', 0x815B}, {U'万', 0x969C}, {U'上', 0x8FE3},
    {U'不', 0x9573}, {U'両', 0x97BC}, {U'中', 0x9286}, {U'九', 0x8BE3}, {U'予', 0x975C},
    {U'事', 0x8E96}, {U'交', 0x8CF0}, {U'京', 0x8B9E}, {U'人', 0x906C}, {U'付', 0x9574},
    {U'仙', 0x90E5}, {U'代', 0x91E3}, {U'会', 0x89EF}, {U'伝', 0x9360}, {U'体', 0x91CC},
    {U'価', 0x89BF}, {U'便', 0x95D6}, {U'修', 0x8F43}, {U'個', 0x8CC2}, {U'備', 0x94F5},
    {U'儀', 0x8B56}, {U'充', 0x8F5B}, {U'光', 0x8CF5}, {U'児', 0x8E99}, {U'八', 0x94AA},
    {U'具', 0x8BEF}, {U'冊', 0x8DFB}, {U'出', 0x8F6F}, {U'函', 0x949F}, {U'刃', 0x906E},
    {U'分', 0x95AA}, {U'切', 0x90D8}, {U'別', 0x95CA}, {U'利', 0x9798}, {U'刺', 0x8E68},
    {U'刻', 0x8D8F}, {U'前', 0x914F}, {U'剤', 0x8DDC}, {U'割', 0x8A84}, {U'務', 0x96B1},
    {U'包', 0x95EF}, {U'北', 0x966B}, {U'千', 0x90E7}, {U'午', 0x8CDF}, {U'卓', 0x91EC},
    {U'単', 0x9250}, {U'博', 0x948E}, {U'収', 0x8EFB}, {U'取', 0x8EE6}, {U'古', 0x8CC3},
    {U'台', 0x91E4}, {U'号', 0x8D86}, {U'名', 0x96BC}, {U'品', 0x9569}, {U'員', 0x88F5},
    {U'商', 0x8FA4}, {U'器', 0x8AED}, {U'四', 0x8E6C}, {U'国', 0x8D91}, {U'在', 0x8DDD},
    {U'地', 0x926E}, {U'型', 0x8C5E}, {U'域', 0x88E6}, {U'多', 0x91BD}, {U'大', 0x91E5},
    {U'天', 0x9356}, {U'太', 0x91BE}, {U'奈', 0x93DE}, {U'字', 0x8E9A}, {U'定', 0x92E8},
    {U'客', 0x8B71}, {U'宮', 0x8B7B}, {U'家', 0x89C6}, {U'宿', 0x8F68}, {U'寺', 0x8E9B},
    {U'封', 0x9595}, {U'小', 0x8FAC}, {U'屋', 0x89AE}, {U'山', 0x8E52}, {U'岡', 0x89AA},
    {U'島', 0x9387}, {U'崎', 0x8DE8}, {U'川', 0x90EC}, {U'州', 0x8F42}, {U'巻', 0x8AAA},
    {U'布', 0x957A}, {U'希', 0x8AF3}, {U'帳', 0x92A0}, {U'幌', 0x9679}, {U'年', 0x944E},
    {U'広', 0x8D4C}, {U'店', 0x9358}, {U'座', 0x8DC0}, {U'庫', 0x8CC9}, {U'庭', 0x92EB},
    {U'引', 0x88F8}, {U'形', 0x8C60}, {U'後', 0x8CE3}, {U'微', 0x94F7}, {U'急', 0x8B7D},
    {U'性', 0x90AB}, {U'感', 0x8AB4}, {U'戸', 0x8CCB}, {U'手', 0x8EE8}, {U'払', 0x95A5},
    {U'折', 0x90DC}, {U'指', 0x8E77}, {U'換', 0x8AB7}, {U'数', 0x9094}, {U'料', 0x97BF},
    {U'新', 0x9056}, {U'方', 0x95FB}, {U'日', 0x93FA}, {U'旭', 0x88AE}, {U'明', 0x96BE},
    {U'時', 0x8E9E}, {U'書', 0x8F91}, {U'替', 0x91D6}, {U'月', 0x8C8E}, {U'有', 0x974C},
    {U'望', 0x965D}, {U'末', 0x9696}, {U'本', 0x967B}, {U'札', 0x8E44}, {U'朱', 0x8EE9},
    {U'東', 0x938C}, {U'松', 0x8FBC}, {U'枚', 0x9687}, {U'柄', 0x95BF}, {U'柏', 0x9490},
    {U'桁', 0x8C85}, {U'梅', 0x947E}, {U'森', 0x9058}, {U'業', 0x8BC6}, {U'極', 0x8BC9},
    {U'模', 0x96CD}, {U'横', 0x89A1}, {U'正', 0x90B3}, {U'残', 0x8E63}, {U'段', 0x9269},
    {U'水', 0x9085}, {U'求', 0x8B81}, {U'江', 0x8D5D}, {U'池', 0x9272}, {U'沖', 0x89AB},
    {U'沢', 0x91F2}, {U'油', 0x96FB}, {U'法', 0x9640}, {U'波', 0x9467}, {U'洋', 0x976D},
    {U'洗', 0x90F4}, {U'浅', 0x90F3}, {U'浜', 0x956C}, {U'海', 0x8A43}, {U'消', 0x8FC1},
    {U'液', 0x8974}, {U'深', 0x905B}, {U'済', 0x8DCF}, {U'渋', 0x8F61}, {U'潟', 0x8A83},
    {U'炭', 0x9259}, {U'無', 0x96B3}, {U'然', 0x9152}, {U'熊', 0x8C46}, {U'熱', 0x944D},
    {U'王', 0x89A4}, {U'用', 0x9770}, {U'田', 0x9363}, {U'町', 0x92AC}, {U'画', 0x89E6},
    {U'番', 0x94D4}, {U'畿', 0x8B45}, {U'発', 0x94AD}, {U'白', 0x9492}, {U'盛', 0x90B7},
    {U'眼', 0x8AE1}, {U'確', 0x8A6D}, {U'祝', 0x8F6A}, {U'神', 0x905F}, {U'票', 0x955B},
    {U'税', 0x90C5}, {U'穴', 0x8C8A}, {U'窓', 0x918B}, {U'立', 0x97A7}, {U'筆', 0x954D},
    {U'筒', 0x939B}, {U'箋', 0xE2B3}, {U'算', 0x8E5A}, {U'箱', 0x94A0}, {U'箸', 0x94A2},
    {U'糖', 0x939C}, {U'約', 0x96F1}, {U'紅', 0x8D67}, {U'納', 0x945B}, {U'紙', 0x8E86},
    {U'細', 0x8DD7}, {U'組', 0x9167}, {U'絡', 0x978D}, {U'緑', 0x97CE}, {U'線', 0x90FC},
    {U'締', 0x92F7}, {U'縄', 0x93EA}, {U'縦', 0x8F63}, {U'缶', 0x8ACA}, {U'罫', 0x8C72},
    {U'置', 0x9275}, {U'考', 0x8D6C}, {U'肉', 0x93F7}, {U'膳', 0x9156}, {U'至', 0x8E8A},
    {U'舗', 0x95DC}, {U'良', 0x97C7}, {U'色', 0x9046}, {U'芯', 0x9063}, {U'茶', 0x9283},
    {U'菌', 0x8BDB}, {U'菜', 0x8DD8}, {U'葉', 0x9774}, {U'蛍', 0x8C75}, {U'行', 0x8D73},
    {U'袋', 0x91DC}, {U'装', 0x9195}, {U'製', 0x90BB}, {U'要', 0x9776}, {U'覇', 0x9465},
    {U'見', 0x8CA9}, {U'規', 0x8B4B}, {U'角', 0x8A70}, {U'計', 0x8C76}, {U'記', 0x8B4C},
    {U'詰', 0x8B6C}, {U'認', 0x9446}, {U'語', 0x8CEA}, {U'請', 0x90BF}, {U'谷', 0x924A},
    {U'赤', 0x90D4}, {U'輪', 0x97D6}, {U'近', 0x8BDF}, {U'返', 0x95D4}, {U'送', 0x9197},
    {U'透', 0x93A7}, {U'造', 0x91A2}, {U'連', 0x9841}, {U'道', 0x93B9}, {U'那', 0x93DF},
    {U'郡', 0x8C53}, {U'部', 0x9594}, {U'都', 0x9373}, {U'配', 0x947A}, {U'酸', 0x8E5F},
    {U'野', 0x96EC}, {U'量', 0x97CA}, {U'金', 0x8BE0}, {U'針', 0x906A}, {U'鉛', 0x8994},
    {U'銀', 0x8BE2}, {U'長', 0x92B7}, {U'関', 0x8AD6}, {U'除', 0x8F9C}, {U'難', 0x93EF},
    {U'電', 0x9364}, {U'青', 0x90C2}, {U'静', 0x90C3}, {U'面', 0x96CA}, {U'革', 0x8A76},
    {U'音', 0x89B9}, {U'領', 0x97CC}, {U'額', 0x8A7A}, {U'類', 0x97DE}, {U'顧', 0x8CDA},
    {U'食', 0x9048}, {U'飲', 0x88F9}, {U'館', 0x8AD9}, {U'高', 0x8D82}, {U'鹿', 0x8EAD},
    {U'黄', 0x89A9}, {U'黒', 0x8D95}, {U'＋', 0x817B}, {U'．', 0x8144},
};
// clang-format on

// Appends the Shift-JIS bytes of code point cp to out. Returns false when cp has no mapping here.
bool AppendSjis(char32_t cp, std::string& out) {
  uint32_t code = 0;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
    return true;
  } else if (cp == 0x3000) {  // full-width space
    code = 0x8140;
  } else if (cp >= 0x3041 && cp <= 0x3093) {  // hiragana
    code = 0x829F + (cp - 0x3041);
  } else if (cp >= 0x30A1 && cp <= 0x30F6) {  // katakana; trail byte 0x7F is never used
    uint32_t trail = 0x40 + (cp - 0x30A1);
    if (trail >= 0x7F) ++trail;
    code = 0x8300 + trail;
  } else if (cp >= 0xFF10 && cp <= 0xFF19) {  // full-width digits
    code = 0x824F + (cp - 0xFF10);
  } else if (cp >= 0xFF21 && cp <= 0xFF3A) {  // full-width capitals
    code = 0x8260 + (cp - 0xFF21);
  } else if (cp >= 0xFF41 && cp <= 0xFF5A) {  // full-width small letters
    code = 0x8281 + (cp - 0xFF41);
  } else {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), cp,
                               [](const SjisCode& e, char32_t c) { return e.cp < c; });
    if (it == std::end(kTable) || it->cp != cp || it->sjis == 0) return false;
    code = it->sjis;
  }
  out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
  return true;
}

[[noreturn]] void Die(const char* what, std::string_view detail) {
  std::fprintf(stderr, "tabulon-gen: %s%.*s\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::exit(1);
}

// Converts a UTF-8 text of the catalogue. Stops the program on a character it cannot map.
std::string ToSjis(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    char32_t cp = 0;
    size_t len = 0;
    if (b < 0x80) {
      cp = b, len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F, len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F, len = 3;
    } else {
      Die("no Shift-JIS mapping in: ", utf8);
    }
    if (i + len > utf8.size()) Die("truncated UTF-8 in: ", utf8);
    for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    if (!AppendSjis(cp, out)) Die("no Shift-JIS mapping in: ", utf8);
    i += len;
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Random numbers: splitmix64, chosen for its fixed, library-independent output.

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Returns a number in [0, n). REQUIRES: n > 0.
  uint64_t Below(uint64_t n) {
    return static_cast<uint64_t>((static_cast<unsigned __int128>(Next()) * n) >> 64);
  }

 private:
  uint64_t state_;  // advanced by the golden-ratio increment on every draw
};

// Draws an index with probability proportional to its weight.
class WeightedPick {
 public:
  explicit WeightedPick(const std::vector<uint32_t>& weights) {
    uint64_t sum = 0;
    for (uint32_t w : weights) cumulative_.push_back(sum += w);
  }

  // REQUIRES: at least one weight is positive.
  size_t Pick(Random& random) const {
    uint64_t r = random.Below(cumulative_.back());
    return std::upper_bound(cumulative_.begin(), cumulative_.end(), r) - cumulative_.begin();
  }

 private:
  std::vector<uint64_t> cumulative_;  // running sums of the weights
};

// ---------------------------------------------------------------------------------------------
// The catalogue: regions, shops, categories and products, written in UTF-8 and held in
// Shift-JIS. It does not depend on the seed, so a product always has the same price.

struct ShopDef {
  const char* name;
  int region;
  uint32_t weight;
};

struct VariantDef {
  const char* suffix;  // appended to the family name
  int percent;         // price relative to the family's base price
};

struct FamilyDef {
  const char* name;
  int category;
  int64_t base_cents;  // price in hundredths of a yen
  uint32_t weight;
  std::vector<VariantDef> variants;
};

const char* const kHeader[] = {"伝票番号", "日付", "時刻", "店舗", "地域",       "商品名",
                               "分類",     "数量", "単価", "金額", "顧客コード", "備考"};
constexpr size_t kColumnCount = std::size(kHeader);

const char* const kRegions[] = {"北海道", "東北", "関東", "中部",
                                "近畿",   "中国", "四国", "九州・沖縄"};

const ShopDef kShops[] = {
    {"札幌店", 0, 3},   {"旭川店", 0, 1}, {"函館店", 0, 1}, {"仙台店", 1, 3}, {"盛岡店", 1, 1},
    {"青森店", 1, 1},   {"郡山店", 1, 1}, {"新宿店", 2, 8}, {"渋谷店", 2, 7}, {"池袋店", 2, 7},
    {"銀座店", 2, 5},   {"上野店", 2, 4}, {"横浜店", 2, 6}, {"川崎店", 2, 3}, {"大宮店", 2, 3},
    {"千葉店", 2, 3},   {"柏店", 2, 2},   {"立川店", 2, 3}, {"町田店", 2, 2}, {"名古屋店", 3, 6},
    {"静岡店", 3, 2},   {"浜松店", 3, 2}, {"金沢店", 3, 2}, {"新潟店", 3, 2}, {"長野店", 3, 1},
    {"梅田店", 4, 6},   {"難波店", 4, 5}, {"京都店", 4, 4}, {"神戸店", 4, 4}, {"奈良店", 4, 1},
    {"天王寺店", 4, 2}, {"広島店", 5, 3}, {"岡山店", 5, 2}, {"松江店", 5, 1}, {"高松店", 6, 1},
    {"松山店", 6, 1},   {"博多店", 7, 4}, {"天神店", 7, 3}, {"熊本店", 7, 2}, {"鹿児島店", 7, 2},
    {"那覇店", 7, 1},
};

const char* const kCategories[] = {
    "筆記具",   "ノート・手帳",   "紙製品",           "ファイル",     "封筒・便箋",
    "事務用品", "修正用品",       "はさみ・カッター", "のり・テープ", "電池",
    "ＰＣ用品", "インク・トナー", "収納用品",         "飲料",         "日用品",
};

const std::vector<FamilyDef>& Families() {
  static const std::vector<FamilyDef> families = {
      // 筆記具
      {"ボールペン",
       0,
       11000,
       30,
       {{"　黒０．５ｍｍ", 100},
        {"　赤０．５ｍｍ", 100},
        {"　青０．５ｍｍ", 100},
        {"　黒０．７ｍｍ", 100},
        {"　赤０．７ｍｍ", 100},
        {"　青０．７ｍｍ", 100},
        {"　黒１．０ｍｍ", 110},
        {"　３色", 270},
        {"　４色＋シャープ", 450}}},
      {"ゲルインクボールペン",
       0,
       15000,
       14,
       {{"　黒０．３８ｍｍ", 100},
        {"　青０．３８ｍｍ", 100},
        {"　赤０．３８ｍｍ", 100},
        {"　黒０．５ｍｍ", 100},
        {"　ブルーブラック０．５ｍｍ", 100}}},
      {"シャープペン",
       0,
       32000,
       8,
       {{"　０．３ｍｍ", 100}, {"　０．５ｍｍ", 100}, {"　０．７ｍｍ", 100}}},
      {"シャープ芯",
       0,
       13200,
       8,
       {{"　０．５ｍｍ　ＨＢ", 100},
        {"　０．５ｍｍ　Ｂ", 100},
        {"　０．５ｍｍ　２Ｂ", 100},
        {"　０．３ｍｍ　ＨＢ", 125}}},
      {"蛍光ペン",
       0,
       9850,
       10,
       {{"　黄", 100}, {"　ピンク", 100}, {"　緑", 100}, {"　青", 100}, {"　５色セット", 480}}},
      {"油性マーカー",
       0,
       12000,
       8,
       {{"　黒　細字", 100}, {"　黒　太字", 125}, {"　赤　細字", 100}, {"　青　細字", 100}}},
      {"ホワイトボードマーカー", 0, 16500, 5, {{"　黒", 100}, {"　赤", 100}, {"　青", 100}}},
      {"鉛筆",
       0,
       58000,
       4,
       {{"　ＨＢ　１２本", 100}, {"　Ｂ　１２本", 100}, {"　２Ｂ　１２本", 100}, {"　赤青", 17}}},
      {"筆ペン", 0, 38500, 2, {{"　中字", 100}, {"　極細", 100}}},
      {"サインペン",
       0,
       11000,
       5,
       {{"　黒", 100}, {"　赤", 100}, {"　青", 100}, {"　１２色", 1150}}},
      {"万年筆", 0, 330000, 1, {{"　細字", 100}, {"　中字", 100}}},
      {"カートリッジインク", 0, 44000, 1, {{"　黒　６本", 100}, {"　ブルーブラック　６本", 100}}},
      // ノート・手帳
      {"ノート",
       1,
       12850,
       24,
       {{"Ａ４　３０枚", 100},
        {"Ａ４　５０枚", 150},
        {"Ｂ５　３０枚", 90},
        {"Ｂ５　５０枚", 135},
        {"Ａ５　３０枚", 80},
        {"Ｂ５　３０枚　５冊パック", 420},
        {"Ｂ５　方眼　３０枚", 110}}},
      {"ルーズリーフ",
       1,
       29800,
       8,
       {{"Ａ４　１００枚", 100}, {"Ｂ５　１００枚", 90}, {"Ｂ５　方眼　５０枚", 70}}},
      {"レポート用紙", 1, 21000, 4, {{"Ａ４　５０枚", 100}, {"Ｂ５　５０枚", 90}}},
      {"メモ帳", 1, 9500, 6, {{"Ａ７", 100}, {"Ａ６", 120}, {"　方眼", 130}}},
      {"手帳",
       1,
       128000,
       3,
       {{"　マンスリー　Ａ５", 100}, {"　ウィークリー　Ｂ６", 110}, {"　ポケット", 75}}},
      {"付箋",
       1,
       24800,
       12,
       {{"７５×７５ｍｍ　黄", 100},
        {"７５×７５ｍｍ　ピンク", 100},
        {"５０×１５ｍｍ　４色", 120},
        {"７５×２５ｍｍ　見出し", 90}}},
      {"スケッチブック", 1, 48000, 2, {{"　Ｂ４", 100}, {"　Ｆ６", 110}, {"　Ｆ３", 80}}},
      {"単語帳", 1, 7800, 2, {{"　小", 100}, {"　中", 125}}},
      // 紙製品
      {"コピー用紙",
       2,
       58000,
       14,
       {{"Ａ４　５００枚", 100},
        {"Ａ４　２５００枚", 470},
        {"Ａ３　５００枚", 200},
        {"Ｂ５　５００枚", 90},
        {"Ｂ４　５００枚", 170}}},
      {"画用紙", 2, 33000, 2, {{"　八つ切り　１０枚", 100}, {"　四つ切り　５枚", 100}}},
      {"模造紙", 2, 8800, 2, {{"　白", 100}, {"　方眼", 120}}},
      {"方眼紙", 2, 35000, 2, {{"Ａ４　５０枚", 100}, {"Ａ３　２０枚", 90}}},
      {"ラベルシール",
       2,
       99000,
       4,
       {{"　Ａ４　１２面", 100}, {"　Ａ４　２４面", 100}, {"　Ａ４　ノーカット", 100}}},
      {"名刺用紙", 2, 66000, 2, {{"　白　１００枚", 100}, {"　クリーム　１００枚", 105}}},
      {"感熱紙ロール", 2, 98000, 2, {{"　５８ｍｍ　５巻", 100}, {"　８０ｍｍ　５巻", 140}}},
      {"折り紙", 2, 22000, 2, {{"　１５ｃｍ　１００枚", 100}, {"　両面　５０枚", 100}}},
      // ファイル
      {"クリアファイル",
       3,
       2550,
       20,
       {{"Ａ４　１枚", 100},
        {"Ａ４　１０枚", 780},
        {"Ａ４　１００枚", 5800},
        {"Ａ５　１０枚", 700}}},
      {"クリアブック",
       3,
       33000,
       5,
       {{"Ａ４　２０ポケット", 100}, {"Ａ４　４０ポケット", 160}, {"Ａ４　６０ポケット", 220}}},
      {"リングファイル",
       3,
       42000,
       4,
       {{"Ａ４　２穴", 100}, {"Ａ４　３０穴", 120}, {"Ｂ５　２６穴", 110}}},
      {"フラットファイル",
       3,
       6270,
       8,
       {{"Ａ４　青", 100}, {"Ａ４　黄", 100}, {"Ａ４　赤", 100}, {"Ａ４　緑", 100}}},
      {"レバーアーチファイル", 3, 78000, 2, {{"Ａ４　５０ｍｍ", 100}, {"Ａ４　７０ｍｍ", 115}}},
      {"ドキュメントファイル", 3, 45000, 2, {{"Ａ４　１０ポケット", 100}, {"　ジッパー付き", 90}}},
      {"個別フォルダー", 3, 68000, 2, {{"Ａ４　１０冊", 100}, {"Ａ４　カラー　１０冊", 120}}},
      {"バインダー", 3, 52000, 2, {{"Ａ４　３０穴", 100}, {"Ａ５　２０穴", 80}}},
      // 封筒・便箋
      {"封筒",
       4,
       49800,
       8,
       {{"　長形３号　１００枚", 100},
        {"　長形４号　１００枚", 90},
        {"　角形２号　１００枚", 200},
        {"　角形２号　５０枚", 110},
        {"　洋形２号　５０枚", 90},
        {"　長形３号　クラフト　１００枚", 75}}},
      {"窓付き封筒", 4, 88000, 2, {{"　長形３号　１００枚", 100}, {"　長形３号　５００枚", 450}}},
      {"便箋", 4, 28000, 2, {{"　Ｂ５　縦罫", 100}, {"　Ａ４　横罫", 110}}},
      {"ＯＰＰ袋", 4, 39800, 2, {{"　Ａ４　１００枚", 100}, {"　長形３号　１００枚", 80}}},
      {"祝儀袋", 4, 16500, 2, {{"　紅白", 100}, {"　のし付き", 120}}},
      {"不祝儀袋", 4, 16500, 1, {{"　黒白", 100}}},
      // 事務用品
      {"ホッチキス", 5, 62000, 4, {{"　ハンディ", 100}, {"　中型", 160}, {"　卓上　大型", 520}}},
      {"ホッチキス針", 5, 11000, 8, {{"１０号　１０００本", 100}, {"３号　１０００本", 180}}},
      {"ダブルクリップ",
       5,
       13200,
       5,
       {{"　小　１０個", 100}, {"　中　１０個", 140}, {"　大　１０個", 190}}},
      {"ゼムクリップ", 5, 9800, 5, {{"　１００本", 100}, {"　大　５０本", 100}}},
      {"穴あけパンチ", 5, 89000, 2, {{"　２穴　２０枚", 100}, {"　２穴　３０枚", 150}}},
      {"電卓", 5, 148000, 2, {{"　８桁", 100}, {"　１２桁", 135}, {"　１２桁　税計算", 170}}},
      {"朱肉", 5, 52000, 1, {{"　小", 100}, {"　中", 150}}},
      {"スタンプ台", 5, 44000, 1, {{"　黒", 100}, {"　赤", 100}}},
      {"輪ゴム", 5, 19800, 2, {{"　１００ｇ", 100}, {"　５００ｇ", 380}}},
      {"定規", 5, 9800, 3, {{"　１５ｃｍ", 100}, {"　３０ｃｍ", 180}, {"　５０ｃｍ", 350}}},
      {"シュレッダー", 5, 498000, 1, {{"　家庭用", 100}, {"　業務用", 560}}},
      {"ラミネートフィルム", 5, 148000, 1, {{"Ａ４　１００枚", 100}, {"Ａ３　１００枚", 190}}},
      // 修正用品
      {"修正テープ",
       6,
       29800,
       8,
       {{"５ｍｍ×６ｍ", 100}, {"５ｍｍ×１０ｍ", 135}, {"　詰め替え", 60}}},
      {"修正液", 6, 23000, 2, {{"　ペン型", 100}, {"　ボトル", 90}}},
      {"消しゴム", 6, 6800, 8, {{"　小", 100}, {"　大", 160}, {"　プラスチック　３個パック", 280}}},
      // はさみ・カッター
      {"はさみ", 7, 39800, 4, {{"　１４５ｍｍ", 100}, {"　１７５ｍｍ", 120}, {"　チタン", 200}}},
      {"カッターナイフ", 7, 28000, 4, {{"　Ｓ型", 100}, {"　Ｌ型", 130}, {"　替刃Ｌ　１０枚", 75}}},
      {"カッターマット", 7, 68000, 2, {{"Ａ４", 100}, {"Ａ３", 180}, {"Ａ２", 320}}},
      // のり・テープ
      {"スティックのり", 8, 9000, 8, {{"　小", 100}, {"　中", 140}, {"　大", 200}}},
      {"液体のり", 8, 12000, 2, {{"　５０ｍｌ", 100}}},
      {"テープのり", 8, 39000, 4, {{"　本体", 100}, {"　詰め替え", 65}}},
      {"セロハンテープ",
       8,
       10500,
       8,
       {{"１５ｍｍ", 100}, {"１８ｍｍ", 115}, {"２４ｍｍ", 150}, {"１８ｍｍ　１０巻", 1000}}},
      {"両面テープ", 8, 32000, 3, {{"１０ｍｍ", 100}, {"２０ｍｍ", 160}}},
      {"マスキングテープ",
       8,
       15000,
       4,
       {{"　１５ｍｍ　無地", 100}, {"　１５ｍｍ　柄", 130}, {"　５巻セット", 520}}},
      {"ガムテープ", 8, 26000, 4, {{"　布", 100}, {"　クラフト", 70}, {"　ＯＰＰ透明", 85}}},
      // 電池
      {"アルカリ電池",
       9,
       29800,
       12,
       {{"　単１形　２本", 150},
        {"　単２形　２本", 130},
        {"　単３形　４本", 100},
        {"　単４形　４本", 100},
        {"　単３形　１０本", 220},
        {"　９Ｖ形", 140}}},
      {"充電池", 9, 198000, 2, {{"　単３形　４本", 100}, {"　単４形　４本", 90}}},
      {"ボタン電池", 9, 24800, 3, {{"　ＣＲ２０３２", 100}, {"　ＬＲ４４　２個", 80}}},
      // ＰＣ用品
      {"ＵＳＢメモリ",
       10,
       88000,
       4,
       {{"１６ＧＢ", 100}, {"３２ＧＢ", 130}, {"６４ＧＢ", 180}, {"１２８ＧＢ", 290}}},
      {"ＳＤカード", 10, 128000, 2, {{"　３２ＧＢ", 100}, {"　６４ＧＢ", 150}}},
      {"マウス", 10, 128000, 3, {{"　有線", 100}, {"　無線", 150}, {"　静音　無線", 190}}},
      {"キーボード", 10, 248000, 2, {{"　有線", 100}, {"　無線", 140}}},
      {"ＬＡＮケーブル",
       10,
       39800,
       3,
       {{"　１ｍ", 100}, {"　２ｍ", 115}, {"　５ｍ", 160}, {"　１０ｍ", 240}}},
      {"ＵＳＢケーブル", 10, 78000, 3, {{"　タイプＣ　１ｍ", 100}, {"　マイクロＢ　１ｍ", 75}}},
      {"マウスパッド", 10, 48000, 2, {{"　黒", 100}, {"　青", 100}}},
      {"ＨＤＭＩケーブル", 10, 68000, 2, {{"　１ｍ", 100}, {"　２ｍ", 120}, {"　３ｍ", 145}}},
      {"ＵＳＢハブ", 10, 148000, 1, {{"　４ポート", 100}, {"　７ポート", 165}}},
      // インク・トナー
      {"インクカートリッジ",
       11,
       118000,
       6,
       {{"　ブラック", 100},
        {"　シアン", 85},
        {"　マゼンタ", 85},
        {"　イエロー", 85},
        {"　４色パック", 340},
        {"　６色パック", 480}}},
      {"トナーカートリッジ", 11, 880000, 1, {{"　ブラック", 100}, {"　カラー", 165}}},
      {"ラベルテープ",
       11,
       158000,
       2,
       {{"　１２ｍｍ　白", 100},
        {"　１２ｍｍ　透明", 110},
        {"　１８ｍｍ　白", 130},
        {"　２４ｍｍ　黄", 160}}},
      // 収納用品
      {"書類ケース", 12, 68000, 3, {{"Ａ４　浅型", 100}, {"Ａ４　深型", 125}, {"Ｂ４", 140}}},
      {"ファイルボックス",
       12,
       29800,
       4,
       {{"Ａ４　白", 100}, {"Ａ４　グレー", 100}, {"Ａ４　５個組", 450}}},
      {"引き出しケース", 12, 248000, 1, {{"　３段", 100}, {"　５段", 150}}},
      {"ペンケース", 12, 88000, 3, {{"　布", 100}, {"　革", 340}, {"　立つタイプ", 110}}},
      {"ブックスタンド", 12, 45000, 2, {{"　小", 100}, {"　大", 150}}},
      {"名刺ホルダー", 12, 55000, 1, {{"　１２０枚", 100}, {"　４００枚", 200}}},
      {"デスクトレー", 12, 78000, 1, {{"　Ａ４", 100}, {"　２段", 170}}},
      // 飲料
      {"緑茶", 13, 9800, 16, {{"５００ｍｌ", 100}, {"２Ｌ", 190}, {"５００ｍｌ　２４本", 2040}}},
      {"天然水", 13, 7800, 16, {{"５００ｍｌ", 100}, {"２Ｌ", 160}, {"２Ｌ　６本", 870}}},
      {"缶コーヒー",
       13,
       9800,
       14,
       {{"１９０ｇ　微糖", 100}, {"１９０ｇ　ブラック", 100}, {"１８５ｇ　カフェオレ", 100}}},
      {"紅茶", 13, 35800, 3, {{"　ティーバッグ　５０袋", 100}, {"　ストレート　５００ｍｌ", 38}}},
      {"スポーツドリンク", 13, 12800, 6, {{"５００ｍｌ", 100}, {"２Ｌ", 190}}},
      {"ほうじ茶", 13, 11800, 4, {{"５００ｍｌ", 100}, {"２Ｌ", 180}}},
      {"炭酸水", 13, 8800, 4, {{"５００ｍｌ", 100}, {"５００ｍｌ　２４本", 1900}}},
      {"野菜ジュース", 13, 8800, 4, {{"２００ｍｌ", 100}, {"９００ｍｌ", 300}}},
      // 日用品
      {"ティッシュ", 14, 29800, 6, {{"　５箱パック", 100}, {"　ポケット　１０個", 65}}},
      {"トイレットペーパー",
       14,
       39800,
       4,
       {{"　１２ロール　シングル", 100}, {"　１２ロール　ダブル", 100}}},
      {"ゴミ袋",
       14,
       16800,
       6,
       {{"４５Ｌ　１０枚", 100},
        {"４５Ｌ　５０枚", 380},
        {"７０Ｌ　１０枚", 150},
        {"２０Ｌ　３０枚", 120}}},
      {"ハンドソープ", 14, 32800, 3, {{"　本体", 100}, {"　詰め替え", 70}}},
      {"ウェットティッシュ", 14, 24800, 3, {{"　８０枚", 100}, {"　除菌　１００枚", 130}}},
      {"マスク", 14, 49800, 4, {{"　５０枚", 100}, {"　個包装　３０枚", 110}}},
      {"紙コップ", 14, 19800, 2, {{"　２０５ｍｌ　５０個", 100}}},
      {"割り箸", 14, 29800, 1, {{"　１００膳", 100}}},
      {"キッチンペーパー", 14, 25800, 2, {{"　２ロール", 100}, {"　４ロール", 180}}},
      {"洗剤", 14, 19800, 2, {{"　食器用", 100}, {"　詰め替え", 85}}},
      {"除菌スプレー", 14, 39800, 2, {{"　本体", 100}, {"　詰め替え", 75}}},
  };
  return families;
}

// Plain remarks; one holds a full-width space, as typed notes often do.
const char* const kRemarks[] = {
    "領収書発行", "配送希望", "ポイント利用", "取り置き",   "法人利用", "代金引換",
    "ギフト包装", "返品交換", "予約商品",     "在庫確認済", "会員割引", "配送　午前指定",
};

// Remarks with a comma; they are written enclosed in double quotes.
const char* const kQuotedRemarks[] = {
    "至急,要連絡",         "配送,午後指定",       "分納,残り後日発送",
    "請求書払い,月末締め", "ギフト包装,のし付き",
};

// Relative frequency of the quantities 1 to 20: most slips sell one or two pieces.
const uint32_t kQuantityWeights[] = {300, 200, 130, 90, 70, 50, 35, 25, 20, 15,
                                     12,  10,  8,   7,  6,  5,  5,  4,  4,  4};

constexpr int kStartYear = 2023, kStartMonth = 4, kStartDay = 1;  // a fiscal year's start
constexpr int kDayCount = 731;                                    // 2023/04/01 to 2025/03/31
constexpr int kOpenSecond = 9 * 3600;                             // shops open 9:00:00
constexpr int kOpenSeconds = 12 * 3600;                           // and close at 21:00:00
constexpr uint64_t kCustomerCount = 200000;
constexpr uint64_t kRegularCustomerCount = 2000;  // frequent buyers, 40% of the slips

struct Product {
  std::string name;  // Shift-JIS
  int category;
  int64_t price_cents;
};

struct Catalog {
  std::string header;  // the header line without its line end, Shift-JIS
  std::vector<std::string> regions, categories, remarks, quoted_remarks;
  std::vector<std::string> shop_names;
  std::vector<int> shop_regions;
  std::vector<Product> products;
  std::vector<std::string> dates;  // "yyyy/mm/dd" for each day of the range
  WeightedPick shop_pick{{1}}, product_pick{{1}}, quantity_pick{{1}};
};

bool IsLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

Catalog BuildCatalog() {
  Catalog c;
  for (size_t i = 0; i < kColumnCount; ++i) {
    if (i > 0) c.header += ',';
    c.header += ToSjis(kHeader[i]);
  }
  for (const char* r : kRegions) c.regions.push_back(ToSjis(r));
  for (const char* k : kCategories) c.categories.push_back(ToSjis(k));
  for (const char* r : kRemarks) c.remarks.push_back(ToSjis(r));
  for (const char* r : kQuotedRemarks) c.quoted_remarks.push_back('"' + ToSjis(r) + '"');

  std::vector<uint32_t> weights;
  for (const ShopDef& s : kShops) {
    c.shop_names.push_back(ToSjis(s.name));
    c.shop_regions.push_back(s.region);
    weights.push_back(s.weight);
  }
  c.shop_pick = WeightedPick(weights);

  weights.clear();
  for (const FamilyDef& f : Families()) {
    std::string family = ToSjis(f.name);
    for (size_t v = 0; v < f.variants.size(); ++v) {
      // Rounded to a whole cent; the result keeps zero, one or two decimals.
      int64_t cents = (f.base_cents * f.variants[v].percent + 50) / 100;
      c.products.push_back({family + ToSjis(f.variants[v].suffix), f.category, cents});
      weights.push_back(f.weight * 60 / static_cast<uint32_t>(v + 3));  // first variants sell best
    }
  }
  c.product_pick = WeightedPick(weights);
  c.quantity_pick = WeightedPick({std::begin(kQuantityWeights), std::end(kQuantityWeights)});

  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int y = kStartYear, m = kStartMonth, d = kStartDay;
  for (int i = 0; i < kDayCount; ++i) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", y, m, d);
    c.dates.push_back(text);
    if (++d > kMonthDays[m - 1] + (m == 2 && IsLeapYear(y))) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
  }
  return c;
}

// ---------------------------------------------------------------------------------------------
// Output.

// Collects the bytes of the file; with a file attached it writes them out in large blocks.
class Output {
 public:
  // REQUIRES: file is open for writing, or null to keep everything in memory.
  explicit Output(std::FILE* file) : file_(file) {}

  std::string& buffer() { return buffer_; }

  // Writes the buffer out once it is large. REQUIRES: called between lines only.
  void MaybeFlush() {
    if (file_ && buffer_.size() >= kBlockSize) Flush();
  }

  void Flush() {
    if (!file_ || buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      Die("write failed: ", std::strerror(errno));
    }
    buffer_.clear();
  }

  static constexpr size_t kBlockSize = 1 << 20;

 private:
  std::FILE* file_;     // destination, or null for an in-memory result
  std::string buffer_;  // bytes not yet written
};

void AppendUnsigned(std::string& out, uint64_t value) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  while (n) out.push_back(digits[--n]);
}

// Writes hundredths as a decimal with no trailing zeros: 12850 → "128.5", 12800 → "128".
void AppendCents(std::string& out, int64_t cents) {
  AppendUnsigned(out, static_cast<uint64_t>(cents / 100));
  int frac = static_cast<int>(cents % 100);
  if (frac == 0) return;
  out.push_back('.');
  out.push_back(static_cast<char>('0' + frac / 10));
  if (frac % 10) out.push_back(static_cast<char>('0' + frac % 10));
}

void AppendTwoDigits(std::string& out, int value) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

// Writes the header and `rows` data lines. Slips are in date order: row i falls on day
// i * kDayCount / rows, and within a day the times rise with the slip number.
void Generate(const Catalog& c, uint64_t rows, uint64_t seed, Output& output) {
  Random random(seed);
  std::string& out = output.buffer();
  out += c.header;
  out += "\r\n";
  for (uint64_t i = 0; i < rows; ++i) {
    uint64_t day = i * kDayCount / rows;
    uint64_t first = (day * rows + kDayCount - 1) / kDayCount;  // first row of that day
    uint64_t next = ((day + 1) * rows + kDayCount - 1) / kDayCount;
    uint64_t slot = (i - first) * kOpenSeconds + random.Below(kOpenSeconds);
    int second = kOpenSecond + static_cast<int>(slot / (next - first));

    size_t shop = c.shop_pick.Pick(random);
    const Product& product = c.products[c.product_pick.Pick(random)];
    uint64_t quantity = c.quantity_pick.Pick(random) + 1;
    uint64_t customer =
        random.Below(10) < 4 ? random.Below(kRegularCustomerCount) : random.Below(kCustomerCount);
    // A bijection of [0, 9000000) spreads the customer numbers over seven digits.
    uint64_t customer_code = 1000000 + (customer * 7919 + 104729) % 9000000;
    uint64_t remark = random.Below(1000);

    AppendUnsigned(out, i + 1);
    out += ',';
    out += c.dates[day];
    out += ',';
    AppendUnsigned(out, static_cast<uint64_t>(second / 3600));
    out += ':';
    AppendTwoDigits(out, second / 60 % 60);
    out += ':';
    AppendTwoDigits(out, second % 60);
    out += ',';
    out += c.shop_names[shop];
    out += ',';
    out += c.regions[c.shop_regions[shop]];
    out += ',';
    out += product.name;
    out += ',';
    out += c.categories[product.category];
    out += ',';
    AppendUnsigned(out, quantity);
    out += ',';
    AppendCents(out, product.price_cents);
    out += ',';
    AppendCents(out, product.price_cents * static_cast<int64_t>(quantity));
    out += ",C";
    AppendUnsigned(out, customer_code);
    out += ',';
    if (remark >= 980) {
      out += c.quoted_remarks[remark % c.quoted_remarks.size()];
    } else if (remark >= 900) {
      out += c.remarks[remark % c.remarks.size()];
    }
    out += "\r\n";
    output.MaybeFlush();
  }
}

// ---------------------------------------------------------------------------------------------
// The stamps file: a minute-resolution time stamp and short key texts on every row.
//
// Columns: 日時,人員番号,部,数,時 ("yyyy/mm/dd hh:mm", "S" and four digits from 2,000 employees,
// one of 12 departments, 0 to 999 and 1 to 12). The rows run forward in time, a minute or two
// apart, so every stamp differs and beyond 65,536 rows the stamp column is stored per row; the
// other columns keep 8-bit or 16-bit keys.

const char* const kDepartments[] = {"エイギョウ", "ソウム",   "ケイリ",   "ジンジ",
                                    "キカク",     "カイハツ", "セイゾウ", "ブツリュウ",
                                    "ヒンシツ",   "コウバイ", "コウホウ", "ホウム"};
constexpr uint64_t kEmployeeCount = 2000;

void GenerateStamps(uint64_t rows, uint64_t seed, Output& output) {
  std::vector<std::string> departments;
  for (const char* d : kDepartments) departments.push_back(ToSjis(d));
  Random random(seed);
  std::string& out = output.buffer();
  out += ToSjis("日時,人員番号,部,数,時");
  out += "\r\n";
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int y = 2023, m = 4, d = 1, minute = 0;  // minutes since midnight
  for (uint64_t i = 0; i < rows; ++i) {
    minute += 1 + static_cast<int>(random.Below(2));
    if (minute >= 24 * 60) {
      minute -= 24 * 60;
      if (++d > kMonthDays[m - 1] + (m == 2 && IsLeapYear(y))) {
        d = 1;
        if (++m > 12) m = 1, ++y;
      }
    }
    AppendUnsigned(out, static_cast<uint64_t>(y));
    out += '/';
    AppendTwoDigits(out, m);
    out += '/';
    AppendTwoDigits(out, d);
    out += ' ';
    AppendTwoDigits(out, minute / 60);
    out += ':';
    AppendTwoDigits(out, minute % 60);
    out += ",S";
    AppendUnsigned(out, 1000 + random.Below(kEmployeeCount) * 37 % kEmployeeCount);
    out += ',';
    out += departments[random.Below(departments.size())];
    out += ',';
    AppendUnsigned(out, random.Below(1000));
    out += ',';
    AppendUnsigned(out, 1 + random.Below(12));
    out += "\r\n";
    output.MaybeFlush();
  }
}

// ---------------------------------------------------------------------------------------------
// Self-check: the properties the benchmarks and the bundled sample rely on.

int failures = 0;

void Fail(const char* what, uint64_t line) {
  if (++failures <= 10) std::fprintf(stderr, "self-check: line %" PRIu64 ": %s\n", line, what);
}

bool IsDigits(std::string_view s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// Parses "123", "123.4" or "123.45" as hundredths; returns -1 for anything else.
int64_t ParseCents(std::string_view s) {
  size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  if (!IsDigits(whole)) return -1;
  int64_t cents = std::strtoll(std::string(whole).c_str(), nullptr, 10) * 100;
  if (dot == std::string_view::npos) return cents;
  std::string_view frac = s.substr(dot + 1);
  if (!IsDigits(frac) || frac.size() > 2 || frac.back() == '0') return -1;
  return cents + (frac[0] - '0') * 10 + (frac.size() == 2 ? frac[1] - '0' : 0);
}

// Splits a line the way the importer does for well-formed input, but also demands that a quoted
// field closes right before a comma or the line end. Returns false for anything else.
bool SplitStrict(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  size_t pos = 0;
  while (true) {
    if (pos < line.size() && line[pos] == '"') {
      size_t close = line.find('"', pos + 1);
      if (close == std::string_view::npos) return false;
      fields.push_back(line.substr(pos + 1, close - pos - 1));
      pos = close + 1;
      if (pos == line.size()) return true;
      if (line[pos] != ',') return false;
      ++pos;
    } else {
      size_t comma = line.find(',', pos);
      fields.push_back(line.substr(pos, comma - pos));
      if (comma == std::string_view::npos) return true;
      pos = comma + 1;
    }
  }
}

// Checks the byte structure: valid Shift-JIS, CR LF after every line and no other control byte.
void CheckBytes(std::string_view data) {
  uint64_t line = 1;
  for (size_t i = 0; i < data.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(data[i]);
    if (b == '\r') {
      if (i + 1 >= data.size() || data[i + 1] != '\n') Fail("CR without LF", line);
      ++i, ++line;
    } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      unsigned char t = i + 1 < data.size() ? static_cast<unsigned char>(data[i + 1]) : 0;
      if (t < 0x40 || t == 0x7F || t > 0xFC) Fail("bad Shift-JIS trail byte", line);
      ++i;
    } else if (b < 0x20 || b == 0x7F || b == 0x80 || (b >= 0xA0 && b <= 0xDF) || b > 0xFC) {
      Fail("control, half-width kana or invalid byte", line);
    }
  }
  if (data.size() < 2 || data.substr(data.size() - 2) != "\r\n") Fail("no final CR LF", line);
}

void CheckLines(const Catalog& c, std::string_view data, uint64_t rows) {
  std::vector<std::string_view> fields;
  uint64_t line = 0, quoted = 0, blank = 0;
  std::string last_date;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find("\r\n", pos);
    if (end == std::string_view::npos) break;
    std::string_view text = data.substr(pos, end - pos);
    pos = end + 2;
    if (line++ == 0) {
      if (text != c.header) Fail("header differs", line);
      continue;
    }
    if (!SplitStrict(text, fields) || fields.size() != kColumnCount) {
      Fail("not 12 well-formed fields", line);
      continue;
    }
    if (fields[0] != std::to_string(line - 1)) Fail("slip number not consecutive", line);
    std::string date(fields[1]);
    if (date.size() != 10 || date[4] != '/' || date[7] != '/' || date < last_date) {
      Fail("date malformed or out of order", line);
    }
    last_date = date;
    std::string_view time = fields[2];
    size_t colon = time.find(':');
    int hour =
        colon == 1 || colon == 2 ? std::atoi(std::string(time.substr(0, colon)).c_str()) : -1;
    if (hour < 9 || hour > 20 || time.size() != colon + 6 || time[colon + 3] != ':') {
      Fail("time outside 9:00:00-20:59:59", line);
    }
    int64_t quantity = IsDigits(fields[7]) ? std::atoll(std::string(fields[7]).c_str()) : 0;
    if (quantity < 1 || quantity > 20) Fail("quantity outside 1-20", line);
    int64_t price = ParseCents(fields[8]), amount = ParseCents(fields[9]);
    if (price <= 0 || amount != price * quantity) Fail("amount is not quantity x price", line);
    if (fields[10].size() != 8 || fields[10][0] != 'C' || !IsDigits(fields[10].substr(1))) {
      Fail("customer code not C + 7 digits", line);
    }
    quoted += fields[11].find(',') != std::string_view::npos;
    blank += fields[11].empty();
  }
  if (pos != data.size()) Fail("bytes after the last line end", line);
  if (line != rows + 1) Fail("wrong number of lines", line);
  if (quoted == 0 || blank < rows * 8 / 10)
    Fail("remarks not mostly blank with quoted commas", line);
  uint64_t per_line = data.size() / (rows + 1);
  if (per_line < 85 || per_line > 120) Fail("average line length far from 100 bytes", line);
}

int SelfCheck(const Catalog& c) {
  for (size_t i = 1; i < std::size(kTable); ++i) {
    if (kTable[i - 1].cp >= kTable[i].cp) Fail("code table not sorted", i);
  }
  constexpr uint64_t kRows = 20000;
  Output a(nullptr), b(nullptr), other(nullptr);
  Generate(c, kRows, 7, a);
  Generate(c, kRows, 7, b);
  Generate(c, kRows, 8, other);
  if (a.buffer() != b.buffer()) Fail("same seed gave different bytes", 0);
  if (a.buffer() == other.buffer()) Fail("different seeds gave the same bytes", 0);
  CheckBytes(a.buffer());
  CheckLines(c, a.buffer(), kRows);
  Output empty(nullptr);
  Generate(c, 0, 1, empty);
  if (empty.buffer() != c.header + "\r\n") Fail("zero rows is not the header alone", 0);
  if (failures) {
    std::fprintf(stderr, "tabulon-gen self-check: %d failure(s)\n", failures);
    return 1;
  }
  std::printf("tabulon-gen self-check: ok (%zu products, %zu shops, %" PRIu64
              " rows, %.1f bytes/line)\n",
              c.products.size(), c.shop_names.size(), kRows,
              static_cast<double>(a.buffer().size()) / (kRows + 1));
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: tabulon-gen [--stamps] ROWS OUT.csv [--seed N]\n"
               "       tabulon-gen --self-check\n");
  return 2;
}

bool ParseCount(const char* text, uint64_t max, uint64_t& value) {
  if (!*text || *text == '-') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(text, &end, 10);
  return errno == 0 && *end == 0 && value <= max;
}

}  // namespace

int main(int argc, char** argv) {
  const Catalog catalog = BuildCatalog();
  if (argc == 2 && std::strcmp(argv[1], "--self-check") == 0) return SelfCheck(catalog);

  // --stamps first picks the stamps file instead of the sales slips.
  const bool stamps = argc > 1 && std::strcmp(argv[1], "--stamps") == 0;
  if (stamps) --argc, ++argv;
  uint64_t rows = 0, seed = 1;
  if (argc != 3 && argc != 5) return Usage();
  // The importer counts rows in a signed 32-bit number.
  if (!ParseCount(argv[1], INT32_MAX, rows)) return Usage();
  if (argc == 5 &&
      (std::strcmp(argv[3], "--seed") != 0 || !ParseCount(argv[4], UINT64_MAX, seed))) {
    return Usage();
  }

  std::FILE* file = std::fopen(argv[2], "wb");
  if (!file) Die("cannot create ", std::string(argv[2]) + ": " + std::strerror(errno));
  Output output(file);
  output.buffer().reserve(Output::kBlockSize + 4096);
  if (stamps)
    GenerateStamps(rows, seed, output);
  else
    Generate(catalog, rows, seed, output);
  output.Flush();
  if (std::fclose(file) != 0) Die("write failed: ", std::strerror(errno));
  return 0;
}
