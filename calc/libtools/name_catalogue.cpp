#include "name_catalogue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unordered_set>

#include "vbs_tokens.h"
#include "vbs/builtin.h"
#include "vbs/textcodec.h"
#include "vbs/value_conv.h"

namespace zel {

namespace {

std::u16string FromUtf8(const std::string& s) { return vbs::Utf8ToUtf16(s); }

// The parameter names inside the outermost parentheses of a syntax line:
// every word, the brackets of optional parts and "..." aside.
std::vector<std::pair<size_t, size_t>> SpansOfSyntax(std::u16string_view syntax) {
  std::vector<std::pair<size_t, size_t>> spans;
  const size_t open = syntax.find(u'(');
  if (open == std::u16string_view::npos) return spans;
  int depth = 0;
  for (size_t i = open; i < syntax.size(); ++i) {
    const char16_t c = syntax[i];
    if (c == u'(') ++depth;
    if (c == u')' && --depth == 0) break;
    if (IsNameChar(c) && !IsNameChar(syntax[i - 1])) {
      size_t end = i;
      while (end < syntax.size() && IsNameChar(syntax[end])) ++end;
      spans.emplace_back(i, end - i);
      i = end - 1;
    }
  }
  return spans;
}

// The first sentence of a paragraph.
std::string FirstSentence(const std::string& text) {
  const size_t stop = text.find(". ");
  return stop == std::string::npos ? text : text.substr(0, stop + 1);
}

std::u16string ConstantText(const vbs::Variant& value) {
  if (!value.IsString()) return u"= " + vbs::ToText(value);
  const std::u16string s = vbs::ToText(value);
  if (s.empty()) return u"= \"\"";
  std::u16string r = u"=";
  for (char16_t c : s) {
    if (r.size() > 1) r += u" &";
    r += u" Chr(" + FromUtf8(std::to_string(int(c))) + u")";
  }
  return r;
}

int SourceRank(NameSource s) { return s == NameSource::Builtin ? 1 : 0; }

}  // namespace

std::u16string FoldCase(std::u16string_view s) {
  std::u16string r(s);
  for (char16_t& c : r)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  return r;
}

std::u16string_view CatalogueEntry::ParameterText() const {
  const size_t open = signature.find(u'(');
  return open == std::u16string::npos ? std::u16string_view() : std::u16string_view(signature).substr(open);
}

std::u16string_view CatalogueEntry::KindText() const {
  switch (kind) {
    case NameKind::Function: return u"Function";
    case NameKind::Sub: return u"Sub";
    case NameKind::Class: return u"Class";
    case NameKind::Const: return u"Const";
    case NameKind::Variable: return u"Variable";
    case NameKind::BuiltinFunction: return u"Built-in function";
    case NameKind::BuiltinConst: return u"Built-in constant";
    case NameKind::BuiltinObject: return u"Built-in object";
  }
  return u"";
}

std::vector<CatalogueEntry> BuiltinNames(const FunctionDescriptions& descriptions) {
  vbs::RegisterStandardLibrary();
  std::vector<CatalogueEntry> out;
  for (int i = 0; i < vbs::BuiltinCount(); ++i) {
    const vbs::BuiltinDef& def = vbs::BuiltinAt(i);
    CatalogueEntry e;
    e.name = FromUtf8(def.name);
    e.kind = NameKind::BuiltinFunction;
    e.takesArguments = def.maxArgs != 0;
    std::string lower = def.name;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = char(c + 32);
    const auto d = descriptions.find(lower);
    if (d != descriptions.end()) {
      e.signature = FromUtf8(d->second.syntax);
      if (!d->second.paragraphs.empty()) e.description = FromUtf8(FirstSentence(d->second.paragraphs.front()));
    }
    // A syntax line without parentheses ("Randomize [seed]") shows none.
    if (e.signature.find(u'(') == std::u16string::npos) e.signature = e.takesArguments ? e.name + u"()" : u"";
    e.paramSpans = SpansOfSyntax(e.signature);
    e.helpKeyword = e.name;
    out.push_back(std::move(e));
  }
  for (const auto& [name, value] : vbs::RegisteredConstants()) {
    CatalogueEntry e;
    e.name = FromUtf8(name);
    e.kind = NameKind::BuiltinConst;
    e.description = e.name + u" " + ConstantText(value);
    e.helpKeyword = e.name;
    out.push_back(std::move(e));
  }
  // The objects every expression can reach, as the manual's Objects page
  // names them in its index.
  struct ObjectName {
    const char16_t* name;
    const char16_t* keyword;
    const char16_t* description;
  };
  static const ObjectName kObjects[] = {
      {u"Err", u"Err object", u"The last run-time error: Number, Description, Source, Clear, Raise."},
      {u"RegExp", u"RegExp", u"A regular expression (New RegExp): Pattern, IgnoreCase, Global, Test, Execute, Replace."},
      {u"zelIO", u"zelIO", u"Asks the user for a value in zelCalc's input dialog: getData, AddListItem, "
                           u"ClearListItem, SetGuidePicture, SetUnitId."},
  };
  for (const ObjectName& o : kObjects) {
    CatalogueEntry e;
    e.name = o.name;
    e.kind = NameKind::BuiltinObject;
    e.description = o.description;
    e.helpKeyword = o.keyword;
    out.push_back(std::move(e));
  }
  for (CatalogueEntry& e : out) {
    e.source = NameSource::Builtin;
    e.folded = FoldCase(e.name);
  }
  return out;
}

CatalogueEntry EntryOf(const Declaration& declared, NameSource source, const std::u16string& file) {
  CatalogueEntry e;
  e.name = declared.name;
  e.kind = declared.kind;
  e.source = source;
  e.description = declared.description;
  e.file = file;
  e.folded = FoldCase(e.name);
  if (declared.kind == NameKind::Function || declared.kind == NameKind::Sub) {
    e.signature = declared.name + u"(";
    for (size_t i = 0; i < declared.params.size(); ++i) {
      if (i) e.signature += u", ";
      e.paramSpans.emplace_back(e.signature.size(), declared.params[i].size());
      e.signature += declared.params[i];
    }
    e.signature += u")";
    e.takesArguments = !declared.params.empty();
  }
  return e;
}

void NameCatalogue::SetBuiltins(std::vector<CatalogueEntry> builtins) {
  builtins_ = std::move(builtins);
  Reindex();
}

void NameCatalogue::SetLibrary(const std::vector<SharedDeclarations>& files) {
  script_.clear();
  std::unordered_map<const FileDeclarations*, std::vector<CatalogueEntry>*> before;
  for (LibraryFileEntries& f : library_) before.emplace(f.source.get(), &f.entries);
  std::vector<LibraryFileEntries> now;
  now.reserve(files.size());
  for (const SharedDeclarations& f : files) {
    LibraryFileEntries e{f, {}};
    if (const auto it = before.find(f.get()); it != before.end()) {
      e.entries = std::move(*it->second);
    } else {
      e.entries.reserve(f->names.size());
      for (const Declaration& n : f->names) e.entries.push_back(EntryOf(n, NameSource::Library, f->file));
    }
    now.push_back(std::move(e));
  }
  library_ = std::move(now);
  Reindex();
}

void NameCatalogue::SetLibrary(const std::vector<FileDeclarations>& files) {
  std::vector<SharedDeclarations> shared;
  for (const FileDeclarations& f : files) shared.push_back(std::make_shared<const FileDeclarations>(f));
  SetLibrary(shared);
}

void NameCatalogue::AddScript(const FileDeclarations& declarations) {
  std::unordered_set<std::u16string> added;
  std::vector<CatalogueEntry> fresh;
  for (const Declaration& n : declarations.names) {
    fresh.push_back(EntryOf(n, NameSource::Script, std::u16string()));
    added.insert(fresh.back().folded);
  }
  // Declared again: the latest text's declaration is the one in force.
  std::erase_if(script_, [&](const CatalogueEntry& e) { return added.count(e.folded) > 0; });
  for (CatalogueEntry& e : fresh) script_.push_back(std::move(e));
  Reindex();
}

void NameCatalogue::Reindex() {
  byName_.clear();
  size_t n = 0;
  ForEachList(*this, [&n](const std::vector<CatalogueEntry>& list) { n += list.size(); });
  byName_.reserve(n);
  ForEachList(*this, [this](std::vector<CatalogueEntry>& list) {
    for (CatalogueEntry& e : list) e.shadowed = !byName_.emplace(std::u16string_view(e.folded), &e).second;
  });
}

const CatalogueEntry* NameCatalogue::Find(std::u16string_view name) const {
  const std::u16string folded = FoldCase(name);
  const auto it = byName_.find(std::u16string_view(folded));
  return it == byName_.end() ? nullptr : it->second;
}

std::vector<const CatalogueEntry*> NameCatalogue::Complete(std::u16string_view typed, size_t limit) const {
  const std::u16string key = FoldCase(typed);
  struct Match {
    const CatalogueEntry* entry;
    bool prefix;
  };
  std::vector<Match> matches;
  ForEachList(*this, [&](const std::vector<CatalogueEntry>& list) {
    for (const CatalogueEntry& e : list) {
      // A name declared twice is offered once, as Find sees it.
      if (e.shadowed) continue;
      const size_t at = key.empty() ? 0 : e.folded.find(key);
      if (at == std::u16string::npos) continue;
      matches.push_back({&e, at == 0});
    }
  });
  const auto before = [](const Match& a, const Match& b) {
    if (a.prefix != b.prefix) return a.prefix;
    const int ra = SourceRank(a.entry->source), rb = SourceRank(b.entry->source);
    if (ra != rb) return ra < rb;
    return a.entry->folded < b.entry->folded;
  };
  const size_t n = std::min(limit, matches.size());
  std::partial_sort(matches.begin(), matches.begin() + std::ptrdiff_t(n), matches.end(), before);
  std::vector<const CatalogueEntry*> out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) out.push_back(matches[i].entry);
  return out;
}

std::vector<SharedDeclarations> DeclarationCache::Declare(const std::vector<LibraryFile>& files,
                                                          const Reader& read) {
  // Changes this close before a read may share their time with a later one.
  constexpr auto kSettle = std::chrono::seconds(2);
  std::vector<SharedDeclarations> out;
  out.reserve(files.size());
  std::unordered_map<std::u16string, Kept> now;
  for (const LibraryFile& f : files) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(f.path, error);
    const std::filesystem::file_time_type changed =
        error ? std::filesystem::file_time_type() : std::filesystem::last_write_time(f.path, error);
    auto it = kept_.find(f.name);
    if (!error && it != kept_.end() && it->second.settled && it->second.size == size &&
        it->second.changed == changed) {
      out.push_back(it->second.declarations);
      now.emplace(f.name, std::move(it->second));
      continue;
    }
    const auto readAt = std::filesystem::file_time_type::clock::now();
    FileText text = read(f);
    Kept k;
    k.size = size;
    k.changed = changed;
    k.settled = !error && changed + kSettle < readAt;
    if (it != kept_.end() && text.ok && it->second.text.ok && it->second.text.text == text.text) {
      k.declarations = it->second.declarations;
    } else {
      k.declarations = std::make_shared<const FileDeclarations>(DeclareLibraryText(f.name, text));
    }
    out.push_back(k.declarations);
    if (text.ok) {
      k.text = std::move(text);
      now.emplace(f.name, std::move(k));
    }
  }
  // Files gone since are forgotten.
  kept_ = std::move(now);
  return out;
}

}  // namespace zel
