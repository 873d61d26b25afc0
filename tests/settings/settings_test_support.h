// Fixtures shared by the settings tests: a scratch folder, and a family of
// published classes holding every kind of property.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "settings/published.h"

namespace tessaro::settings_test {

// A fresh folder under /tmp, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/tessaro-settings-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string Path(const std::string& name = "") const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::string path_;  // the folder, without a trailing "/"
};

enum TSampleAlign { saDefault, saLeft, saRight };

// A nested object, as table attributes are in the stored table templates.
class TSampleAttributes : public TPublished<TSampleAttributes> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TSampleAttributes>& p) {
    p.Integer("Width", &TSampleAttributes::Width, 100)
        .Integer("Border", &TSampleAttributes::Border, -1)
        .String("BgColor", &TSampleAttributes::BgColor, "");
  }
  int Width = 100;
  int Border = -1;
  std::string BgColor;
};

// A collection item with a nested object of its own (a column with a title).
class TSampleColumn : public TPublished<TSampleColumn> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TSampleColumn>& p) {
    p.String("FieldName", &TSampleColumn::FieldName).Object("Title", &TSampleColumn::Title);
  }
  std::string FieldName;
  TSampleAttributes Title;
};

// One property of every kind.
class TSampleSettings : public TPublished<TSampleSettings> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TSampleSettings>& p) {
    p.Integer("Count", &TSampleSettings::Count, 0)
        .Int64("Big", &TSampleSettings::Big, 0)
        .Boolean("Enabled", &TSampleSettings::Enabled, false)
        .Enumeration("Align", &TSampleSettings::Align, {"saDefault", "saLeft", "saRight"}, saDefault)
        .String("Caption", &TSampleSettings::Caption, "")
        .Float("Ratio", &TSampleSettings::Ratio, 0.0)
        .StringList("Lines", &TSampleSettings::Lines)
        .Collection("Columns", &TSampleSettings::Columns)
        .Object("Attributes", &TSampleSettings::Attributes)
        .Object("Optional", &TSampleSettings::Optional)
        .Variant("Value", &TSampleSettings::Value);
  }
  int Count = 0;
  int64_t Big = 0;
  bool Enabled = false;
  TSampleAlign Align = saDefault;
  std::string Caption;
  double Ratio = 0;
  TStrings Lines;
  TVisitedCollection<TSampleColumn> Columns;
  TSampleAttributes Attributes;
  std::unique_ptr<TSampleAttributes> Optional;  // absent unless created
  TVariant Value;
};

// Adds its own properties to the sample's, one through a setter that records
// the order in which it is called, and re-declares Count with another default.
class TDerivedSettings : public TPublished<TDerivedSettings, TSampleSettings> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TDerivedSettings>& p) {
    p.String("extra", &TDerivedSettings::extra)
        .Integer("Count", &TDerivedSettings::Count, 7)
        .String("zeta", {[](const TDerivedSettings& d) { return d.zeta; },
                         [](TDerivedSettings& d, const std::string& v) {
                           d.zeta = v;
                           d.caption_seen_by_zeta = d.Caption;
                         }});
  }
  TDerivedSettings() { Count = 7; }
  std::string extra;
  std::string zeta;
  std::string caption_seen_by_zeta;  // Caption at the time zeta was set
};

}  // namespace tessaro::settings_test
