// Writes the parts of the two manuals that must match the program: the
// built-in function, constant and error lists of the language reference,
// taken from the engine's own tables, and the unit table, taken from the unit
// catalogue. Run by the build; see docs/CMakeLists.txt.
//
//   zelref vbs FUNCTIONS_TXT QHP_TEMPLATE OUTDIR
//   zelref units QHP_TEMPLATE OUTDIR
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "catalogue.h"
#include "reference.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes only when the text changed, so that the help files are rebuilt
// only when a page really changed.
void WriteFile(const std::string& path, const std::string& text) {
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream s;
      s << in.rdbuf();
      if (s.str() == text) return;
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string FillTemplate(std::string tpl, const std::string& marker, const std::string& text) {
  const auto at = tpl.find(marker);
  if (at == std::string::npos) throw std::runtime_error("template lacks " + marker);
  tpl.replace(at, marker.size(), text);
  return tpl;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "vbs" && argc == 5) {
      const std::string out = argv[4];
      const auto descriptions = zel::ParseFunctionDescriptions(ReadFile(argv[2]));
      std::string keywords;
      WriteFile(out + "/functions.html", zel::FunctionsPage(descriptions, keywords));
      WriteFile(out + "/constants.html", zel::ConstantsPage(keywords));
      WriteFile(out + "/errors.html", zel::ErrorsPage(keywords));
      WriteFile(out + "/vbs.qhp", FillTemplate(ReadFile(argv[3]), "@GENERATED_KEYWORDS@", keywords));
      const auto problems = zel::CheckFunctionDescriptions(descriptions);
      for (const auto& p : problems) std::cerr << "zelref: " << p << "\n";
      return 0;
    }
    if (what == "units" && argc == 4) {
      const std::string out = argv[3];
      std::string keywords;
      WriteFile(out + "/units.html", zel::UnitsPage(keywords));
      WriteFile(out + "/zelcalc.qhp",
                FillTemplate(ReadFile(argv[2]), "@GENERATED_KEYWORDS@", keywords));
      return 0;
    }
    std::cerr << "usage: zelref vbs FUNCTIONS_TXT QHP_TEMPLATE OUTDIR | units QHP_TEMPLATE OUTDIR\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "zelref: " << e.what() << "\n";
    return 1;
  }
}
