#include "cadhost/import/object_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

namespace cadhost::import {

namespace {

// The words CAD systems build the names of bodies from when the designer gives none: the kind of thing, the feature
// that made the body last, and the words those names join them with ("Boss-Extrude", "切除-拉伸", "Kruhové pole",
// "Enlèvement de matière"). In lower case; a name made of these words only, with or without a number, is made up.
// To teach the import another language or system, add its words here.
constexpr std::string_view kKindWords[] = {
    // English
    "body", "partbody", "mainbody", "solidbody", "solid", "sol", "brep", "shape", "part", "object", "feature",
    "extrude", "extrusion", "extruded", "revolve", "revolution", "revolved", "boss", "cut", "cutout", "sweep", "swept",
    "loft", "lofted", "fillet", "chamfer", "shell", "sheet", "surface", "face", "pattern", "cirpattern",
    "circularpattern", "lpattern", "linearpattern", "curvepattern", "circular", "linear", "mirror", "mirrored",
    "import", "imported", "thicken", "combine", "split", "move", "copy", "knit", "union", "subtract", "intersect",
    "hole", "draft", "rib", "protrusion", "blend", "boolean",
    // Chinese (simplified and traditional)
    "实体", "實體", "零件", "拉伸", "切除", "凸台", "基体", "旋转", "旋轉", "扫描", "放样", "圆角", "圓角", "倒角",
    "抽壳", "阵列", "陣列", "圆周", "线性", "镜像", "镜向", "鏡像", "输入", "輸入", "导入", "導入", "曲面", "特征",
    "组合", "分割", "移动", "复制", "加厚", "拔模",
    // Japanese
    "ソリッド", "ボディ", "ソリッドボディ", "押し出し", "押出し", "押出", "カット", "ボス", "フィレット", "面取り",
    "回転", "スイープ", "ロフト", "シェル", "パターン", "円形パターン", "直線パターン", "ミラー", "インポート",
    "サーフェス", "部品", "フィーチャー", "結合", "移動", "コピー",
    // French
    "corps", "solide", "pièce", "extrudé", "bossage", "enlèvement", "enlèv", "matière", "congé", "chanfrein",
    "révolution", "balayage", "lissage", "coque", "répétition", "circulaire", "linéaire", "symétrie", "importé",
    "importation", "fonction", "perçage", "trou", "déplacer", "copier",
    // German
    "körper", "volumenkörper", "festkörper", "flächenkörper", "bauteil", "teil", "austragung", "ausschnitt", "aufsatz",
    "rundung", "verrundung", "fase", "rotation", "drehung", "ausformung", "schale", "muster", "kreismuster",
    "linearmuster", "spiegeln", "spiegelung", "importiert", "fläche", "element", "bohrung", "kombinieren",
    "verschieben", "kopieren",
    // Czech
    "těleso", "objemové", "pevné", "součást", "díl", "vysunutí", "vysunout", "přidat", "odebrat", "odebrání", "rotace",
    "zaoblení", "sražení", "skořepina", "pole", "kruhové", "lineární", "zrcadlení", "zrcadlit", "importovaný",
    "importované", "plocha", "prvek", "díra", "přesunout", "kopírovat",
    // Spanish
    "sólido", "cuerpo", "pieza", "extrusión", "extruir", "extruido", "saliente", "corte", "cortar", "redondeo",
    "chaflán", "revolución", "barrido", "recubrir", "vaciado", "matriz", "lineal", "simetría", "importar", "importado",
    "superficie", "operación", "taladro", "combinar", "mover", "copiar",
    // Italian
    "solido", "corpo", "estrusione", "estrudi", "estruso", "taglio", "raccordo", "smusso", "rivoluzione", "svuotamento",
    "serie", "circolare", "lineare", "specchio", "specchiatura", "importa", "importato", "importazione", "funzione",
    "foro", "sposta", "copia",
    // Russian
    "тело", "твердое", "твёрдое", "деталь", "вытягивание", "выдавливание", "вырез", "бобышка", "скругление", "фаска",
    "вращение", "оболочка", "массив", "круговой", "линейный", "зеркальное", "отражение", "зеркало", "импорт",
    "импортированное", "импортировано", "поверхность", "элемент", "отверстие", "операция", "объединение", "перемещение",
    "копирование"};

// Words that join kind words in some languages; alone they make no name up.
constexpr std::string_view kJoiningWords[] = {"de",  "du",  "des", "la",  "le", "of",  "the",
                                              "der", "die", "das", "von", "di", "del", "da"};

bool listed(std::string_view word, const auto& table) {
    return std::find(std::begin(table), std::end(table), word) != std::end(table);
}

// Lower case for the scripts the kind words are written in: Latin (with the letters of Latin-1 and Latin
// Extended-A), Greek and Cyrillic. Every other character stays as it is.
char32_t lower_letter(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x138 || c == 0x149 || c == 0x178) return c;
        // Capital and small letter pairs start on even code points, except in two runs where they start on odd ones.
        const bool odd_pairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        return (c % 2 == 1) == odd_pairs ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text in lower case (see lower_letter); what is not UTF-8 is copied as it is.
std::string lower_text(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 1;
        if (length == 1 || at + length > text.size()) {
            out += static_cast<char>(lead < 0x80 ? lower_letter(lead) : lead);
            ++at;
            continue;
        }
        char32_t code = lead & (length == 2 ? 0x1F : 0x0F);
        for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
        append_utf8(out, lower_letter(code));
        at += length;
    }
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// A handle some systems name bodies with: hexadecimal, starting with a digit, and not a plain small number, which
// may be a name a designer gave.
bool is_hex_handle(std::string_view name) {
    if (name.size() < 2 || name.size() > 16 || !std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    bool letter = false;
    for (char c : name) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        letter = letter || std::isalpha(static_cast<unsigned char>(c));
    }
    return letter || name.size() >= 3;
}

bool is_separator(char c) {
    return c == ' ' || c == '-' || c == '_' || c == '.' || c == '#' || c == ':' || c == '/' || c == ',';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The words of a name, split at separators, each without the number it ends in.
std::vector<std::string> words_of(std::string_view name) {
    std::vector<std::string> words;
    std::string word;
    const auto finish = [&] {
        while (!word.empty() && is_digit(word.back())) word.pop_back();
        if (!word.empty()) words.push_back(word);
        word.clear();
    };
    for (char c : name) {
        if (is_separator(c))
            finish();
        else
            word += c;
    }
    finish();
    return words;
}

// The parts of a word where a small ASCII letter meets a capital ("BossExtrude").
std::vector<std::string> camel_parts(const std::string& word) {
    std::vector<std::string> parts{std::string()};
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (i > 0 && word[i] >= 'A' && word[i] <= 'Z' && word[i - 1] >= 'a' && word[i - 1] <= 'z') parts.emplace_back();
        parts.back() += word[i];
    }
    return parts;
}

// Whether the word is kind words run together ("bossextrude", "切除拉伸").
bool made_of_kind_words(const std::string& word) {
    std::vector<bool> reachable(word.size() + 1, false);
    reachable[0] = true;
    for (std::size_t from = 0; from < word.size(); ++from) {
        if (!reachable[from]) continue;
        for (std::string_view kind : kKindWords)
            if (std::string_view(word).substr(from).starts_with(kind)) reachable[from + kind.size()] = true;
    }
    return reachable[word.size()];
}

}  // namespace

std::optional<NameSource> name_source_of(const std::string& word) {
    if (word == "auto") return NameSource::automatic;
    if (word == "product") return NameSource::product;
    if (word == "body") return NameSource::body;
    return std::nullopt;
}

bool is_placeholder_name(const std::string& name) {
    static constexpr std::array<std::string_view, 10> kinds = {"COMPOUND", "COMPSOLID", "SOLID",  "SHELL", "FACE",
                                                               "WIRE",     "EDGE",      "VERTEX", "SHAPE", "ASSEMBLY"};
    if (name.rfind("=>[", 0) == 0) return true;
    if (name.rfind("Open CASCADE STEP translator ", 0) == 0) return true;
    return std::find(kinds.begin(), kinds.end(), name) != kinds.end();
}

bool is_default_body_name(const std::string& name) {
    std::string_view plain = trimmed(name);
    if (plain.empty()) return false;
    if (is_hex_handle(plain)) return true;
    const std::string lower = lower_text(plain);
    if (lower.ends_with("brep model") || lower.ends_with(" brep")) return true;
    // "*SOL22", "_Body": marks some systems put before a generated name.
    plain.remove_prefix(std::min(plain.find_first_not_of("*_"), plain.size()));
    // "Body(2)": a copy's number.
    if (plain.ends_with(')')) {
        const auto open = plain.rfind('(');
        if (open == std::string_view::npos) return false;
        const std::string_view inside = plain.substr(open + 1, plain.size() - open - 2);
        if (inside.empty() || inside.find_first_not_of("0123456789") != std::string_view::npos) return false;
        plain = plain.substr(0, open);
    }
    const auto is_kind = [](const std::string& word) {
        const std::string lower = lower_text(word);
        return listed(lower, kKindWords) || made_of_kind_words(lower);
    };
    bool kind = false;
    for (const std::string& word : words_of(plain)) {
        if (listed(lower_text(word), kJoiningWords)) continue;
        const std::vector<std::string> parts = camel_parts(word);
        if (!is_kind(word) && !std::all_of(parts.begin(), parts.end(), is_kind)) return false;
        kind = true;
    }
    return kind;
}

std::string chosen_name(const std::string& body, const std::string& product, NameSource source) {
    switch (source) {
        case NameSource::product:
            return product.empty() ? body : product;
        case NameSource::body:
            return body.empty() ? product : body;
        case NameSource::automatic:
            break;
    }
    if (body.empty()) return product;
    const bool product_is_real = !product.empty() && !is_default_body_name(product);
    return is_default_body_name(body) && product_is_real ? product : body;
}

}  // namespace cadhost::import
