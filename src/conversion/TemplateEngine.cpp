#include "conversion/TemplateEngine.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "conversion/NotIntegerError.h"
#include "text/CaseMap.h"
#include "text/Cp932.h"

namespace ritoma {

namespace {

constexpr std::string_view kMacroLetters = "fenKkDTsox/";

// Zero padding beyond the largest digit count the macro dialog offers would
// only build huge names that the rename check rejects anyway.
constexpr int kMaxDigits = 32767;

std::int32_t parseInteger(std::string_view field) {
  std::string_view digits = field;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  const char* first = digits.data();
  const char* last = digits.data() + digits.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (digits.empty() || ec != std::errc() || end != last || (field.front() == '+' && digits.front() == '-'))
    throw NotIntegerError(std::string(field));
  return value;
}

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void appendNumber(std::string& out, std::int32_t value, std::int32_t digits) {
  const std::int64_t wide = value;
  const std::string text = std::to_string(wide < 0 ? -wide : wide);
  if (wide < 0) out += '-';
  const std::size_t width = static_cast<std::size_t>(std::clamp(digits, 0, kMaxDigits));
  if (text.size() < width) out.append(width - text.size(), '0');
  out += text;
}

// /K with a negative digit count: one character per value.
void appendKeyCharacter(std::string& out, std::int32_t value, std::int32_t digits) {
  if (value < 10) {
    out += std::to_string(value);
  } else if (value < 36) {
    out += static_cast<char>((digits == -1 ? 'a' : 'A') + (value - 10));
  }
}

std::string_view piece(std::string_view text, std::size_t pos, std::size_t length) {
  if (pos >= text.size()) return {};
  return text.substr(pos, length);
}

// One component of /D or /T. Returns false for a code that ends the list.
bool appendStamp(std::string& out, std::string_view info, std::int32_t code, bool time) {
  const int component = code / 30;
  const int form = code % 30;
  if (component < 1 || component > 3 || form < 1 || form > 3) return false;
  static constexpr std::size_t kDatePos[] = {0, 5, 8};
  static constexpr std::size_t kTimePos[] = {11, 14, 17};
  if (!time && component == 1) {
    out += form == 1 ? piece(info, 2, 2) : piece(info, 0, 4);
    return true;
  }
  std::string_view text = piece(info, (time ? kTimePos : kDatePos)[component - 1], 2);
  if (form != 3 && text.size() == 2 && text.front() == '0') text.remove_prefix(1);
  if (form == 2 && text.size() == 1) out += ' ';
  out += text;
  return true;
}

void appendSize(std::string& out, std::string_view info, const CnvData& data, int sizeWidth) {
  std::string size(piece(info, 20, std::string_view::npos));
  std::int64_t width = sizeWidth;
  if (data.opt2 == 0) {
    std::erase(size, ',');
    width -= width / 4;
  }
  if (data.opt1 != 0 && static_cast<std::int64_t>(size.size()) < width)
    out.append(static_cast<std::size_t>(width) - size.size(), ' ');
  out += size;
}

std::string_view baseOf(std::string_view name) {
  const std::size_t dot = Cp932::extensionPos(name);
  return dot == Cp932::npos ? name : name.substr(0, dot);
}

std::string_view extensionOf(std::string_view name) {
  const std::size_t dot = Cp932::extensionPos(name);
  return dot == Cp932::npos ? std::string_view() : name.substr(dot + 1);
}

// Takes a macro of `macroLength` bytes and the "<…>" block after it from
// `rest` and returns the text between "<" and ">". Without a block only the
// macro is taken; an unclosed "<" is taken with it and gives no block.
std::optional<std::string_view> takeBlock(std::string_view& rest, std::size_t macroLength) {
  rest.remove_prefix(std::min(macroLength, rest.size()));
  if (rest.empty() || rest.front() != '<') return std::nullopt;
  const std::size_t close = Cp932::find(rest, '>');
  if (close == Cp932::npos) {
    rest.remove_prefix(1);
    return std::nullopt;
  }
  const std::string_view inner = rest.substr(1, close - 1);
  rest.remove_prefix(close + 1);
  return inner;
}

}  // namespace

void TemplateEngine::setDefaultOptions(CnvData& data) const {
  const MacroDefaults& d = context.defaults;
  auto set = [&data](int a, int b, int c) {
    data.opt1 = a;
    data.opt2 = b;
    data.opt3 = c;
  };
  switch (data.kind) {
    case MacroName: set(d.f1, d.f2, d.f3); break;
    case MacroExtension: set(d.e1, d.e2, d.e3); break;
    case MacroSerial: set(d.n1, d.n2, d.n3); break;
    case MacroParentKey: set(d.K11, d.K12, d.K13); break;
    case MacroChildKey: set(d.K21, d.K22, d.K23); break;
    case MacroSize: set(d.s1, d.s2, 0); break;
    case MacroFolder: set(d.o1, d.o2, d.o3); break;
    case MacroDate:
    case MacroTime: {
      const bool date = data.kind == MacroDate;
      const int on[] = {date ? d.Dy1 : d.Th1, date ? d.Dm1 : d.Tm1, date ? d.Dd1 : d.Ts1};
      const int form[] = {date ? d.Dy2 : d.Th2, date ? d.Dm2 : d.Tm2, date ? d.Dd2 : d.Ts2};
      std::int32_t codes[3] = {0, 0, 0};
      int n = 0;
      for (int c = 0; c < 3; ++c)
        if (on[c] != 0) codes[n++] = 30 * (c + 1) + form[c] + 1;
      set(codes[0], codes[1], codes[2]);
      break;
    }
    default: break;
  }
}

std::string TemplateEngine::folderName() const {
  if (context.inArchive) return context.archiveName;
  const std::size_t slash = Cp932::findLast(context.folderPath, '/');
  return slash == Cp932::npos ? context.folderPath : context.folderPath.substr(slash + 1);
}

void TemplateEngine::CompileTemplate(std::string_view text, TemplateList& list) {
  std::string_view t = text;
  while (!t.empty()) {
    TemplateElement element;
    const std::size_t p = Cp932::find(t, '/');
    if (p == Cp932::npos) {
      element.literal = t;
      t = {};
    } else if (p > 0) {
      element.literal = t.substr(0, p);
      t.remove_prefix(p);
    } else if (t.size() == 1) {
      element.literal.assign(1, '/');
      t = {};
    } else {
      const std::size_t letter = kMacroLetters.find(t[1]);
      const std::int32_t kind = letter == std::string_view::npos ? 0 : static_cast<std::int32_t>(letter + 1);
      auto data = std::make_unique<CnvData>();
      data->kind = kind;
      switch (kind) {
        case 0:
          element.literal.assign(1, '/');
          t.remove_prefix(1);
          break;
        case MacroSlash:
          element.literal.assign(1, '/');
          t.remove_prefix(2);
          break;
        case MacroDate:
        case MacroTime:
          setDefaultOptions(*data);
          ParseStampBlock(t, *data);
          element.data = std::move(data);
          break;
        case MacroFolder:
          setDefaultOptions(*data);
          ParseNumberBlock(t, *data);
          element.literal = ApplyLetterCase(TakePart(folderName(), data->opt1, data->opt2), data->opt3);
          break;
        case MacroPlugin: {
          if (t.size() < 3) {
            element.literal = t;
            t = {};
            break;
          }
          const char c = t[2];
          const int plugin = (c >= 'A' && c <= 'Z' && context.plugins) ? context.plugins->pluginForLetter(c) : -1;
          if (plugin >= 0) {
            data->opt1 = plugin;
            ParsePluginBlock(t, *data);
            element.data = std::move(data);
          } else {
            // The whole third character, so that a double-byte one stays in one piece.
            const std::size_t length = 2 + Cp932::charLength(t, 2);
            element.literal = t.substr(0, length);
            t.remove_prefix(length);
          }
          break;
        }
        default:
          setDefaultOptions(*data);
          ParseNumberBlock(t, *data);
          element.data = std::move(data);
          break;
      }
    }
    list.push_back(std::move(element));
  }
}

void TemplateEngine::ParseNumberBlock(std::string_view& rest, CnvData& data) {
  const std::optional<std::string_view> block = takeBlock(rest, 2);
  if (!block) return;
  std::int32_t* options[] = {&data.opt1, &data.opt2, &data.opt3};
  std::size_t pos = 0;
  for (std::int32_t* option : options) {
    const std::size_t comma = Cp932::find(*block, ',', pos);
    const std::size_t end = comma == Cp932::npos ? block->size() : comma;
    const std::string_view field = block->substr(pos, end - pos);
    if (!field.empty()) *option = parseInteger(field);
    if (comma == Cp932::npos) break;
    pos = comma + 1;
  }
}

void TemplateEngine::ParseStampBlock(std::string_view& rest, CnvData& data) {
  const std::optional<std::string_view> taken = takeBlock(rest, 2);
  if (!taken) return;
  std::string_view block = *taken;
  std::int32_t* codes[] = {&data.opt1, &data.opt2, &data.opt3};
  for (std::int32_t* code : codes) *code = 0;
  for (std::int32_t* code : codes) {
    if (block.size() < 2) break;
    std::int32_t base = 0;
    switch (block[0]) {
      case 'y':
      case 'h': base = 30; break;
      case 'm': base = 60; break;
      case 'd':
      case 's': base = 90; break;
      default: return;
    }
    if (block[1] < '1' || block[1] > '3') return;
    *code = base + (block[1] - '0');
    block.remove_prefix(2);
  }
}

void TemplateEngine::ParsePluginBlock(std::string_view& rest, CnvData& data) {
  const std::optional<std::string_view> block = takeBlock(rest, 3);
  data.optionText = block ? std::string(*block) : std::string();
}

void TemplateEngine::ClearTemplates() {
  nameTemplate.clear();
  extTemplate.clear();
}

void TemplateEngine::ResetCounters(bool preview) {
  for (TemplateList* list : {&nameTemplate, &extTemplate}) {
    for (TemplateElement& element : *list) {
      CnvData* d = element.data.get();
      if (!d) continue;
      if (d->kind == MacroSerial || d->kind == MacroChildKey)
        d->counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(d->opt1) - static_cast<std::uint32_t>(d->opt3));
      else if (d->kind == MacroParentKey)
        d->counter = d->opt1;
    }
  }
  passNumber = preview ? -1 : 0;
}

std::string TemplateEngine::ExpandEntry(const TemplateRow& row) {
  passNumber = wrappingAdd(passNumber, 1);
  if (context.plugins) context.plugins->resetUseCounts();
  std::string name;
  std::string ext;
  expandList(nameTemplate, row, name);
  expandList(extTemplate, row, ext);
  if (!ext.empty()) {
    name += '.';
    name += ext;
  }
  return name;
}

void TemplateEngine::expandList(TemplateList& list, const TemplateRow& row, std::string& out) {
  for (TemplateElement& element : list) {
    CnvData* d = element.data.get();
    if (!d) {
      out += element.literal;
      continue;
    }
    switch (d->kind) {
      case MacroName:
        out += ApplyLetterCase(TakePart(baseOf(row.source), d->opt1, d->opt2), d->opt3);
        break;
      case MacroExtension:
        out += ApplyLetterCase(TakePart(extensionOf(row.source), d->opt1, d->opt2), d->opt3);
        break;
      case MacroSerial:
        d->counter = wrappingAdd(d->counter, d->opt3);
        appendNumber(out, d->counter, d->opt2);
        break;
      case MacroParentKey:
        if (row.key) d->counter = wrappingAdd(d->counter, d->opt3);
        if (d->opt2 >= 0)
          appendNumber(out, d->counter, d->opt2);
        else
          appendKeyCharacter(out, d->counter, d->opt2);
        break;
      case MacroChildKey:
        d->counter = row.key ? d->opt1 : wrappingAdd(d->counter, d->opt3);
        appendNumber(out, d->counter, d->opt2);
        break;
      case MacroDate:
      case MacroTime:
        for (std::int32_t code : {d->opt1, d->opt2, d->opt3})
          if (code == 0 || !appendStamp(out, row.infoText, code, d->kind == MacroTime)) break;
        break;
      case MacroSize:
        appendSize(out, row.infoText, *d, context.sizeWidth);
        break;
      case MacroPlugin:
        if (context.plugins) {
          MacroCallInfo call;
          call.option = d->optionText;
          call.folder = context.folderPath;
          call.listedName = context.inArchive ? std::string_view(context.archiveName) : row.listedName;
          call.currentName = row.source;
          call.inArchive = context.inArchive;
          call.hasKey = row.key;
          call.passNumber = passNumber;
          if (auto text = context.plugins->execMacro(d->opt1, call)) out += *text;
        }
        break;
      default:
        break;
    }
  }
}

std::string TemplateEngine::TakePart(std::string_view text, int start, int length) {
  const std::int64_t size = static_cast<std::int64_t>(text.size());
  if (start > 0) {
    text.remove_prefix(static_cast<std::size_t>(std::min<std::int64_t>(start, size)));
  } else if (start < 0) {
    const std::int64_t keep = -static_cast<std::int64_t>(start);
    if (keep < size) text.remove_prefix(static_cast<std::size_t>(size - keep));
  }
  const std::int64_t m = static_cast<std::int64_t>(text.size());
  if (length > 0) {
    text = text.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(length, m)));
  } else if (length < 0) {
    const std::int64_t drop = -static_cast<std::int64_t>(length);
    text = drop >= m ? std::string_view() : text.substr(0, static_cast<std::size_t>(m - drop));
  }
  return std::string(text);
}

std::string TemplateEngine::ApplyLetterCase(std::string_view text, int mode) {
  if (mode == 1) return CaseMap::toLower(text);
  if (mode == 2) return CaseMap::toUpper(text);
  return std::string(text);
}

}  // namespace ritoma
