// The definition and user files: from bytes on disk to a loaded model.
//
// Both files share one layout (integers little-endian):
//
//   | offset | size | content                                              |
//   |--------|------|------------------------------------------------------|
//   | 0      | 4    | magic number 0xA3211E11 (bytes 11 1E 21 A3)          |
//   | 4      | 2    | format version, 1 to 18                              |
//   | 6      | 2    | compression flag; non-zero: the body is one zlib     |
//   |        |      | stream                                               |
//   | 8      | 499  | not read                                             |
//   | 507    | rest | body: streamed objects and lists (object_stream.cpp) |
//
// The definition body is the definition connection settings, then the lists
// of application types, parameter types, roles and evidence items, from
// version 5 on the detail pages and actions, then the parameters, and from
// version 18 on the detail page switches. The user body is the user
// connection settings, the accounts, and from version 4 on the role and
// evidence overrides. A list is a 32-bit count and its element records.
// Most records are one streamed object; these carry more:
//
//   | record                      | after the element                          |
//   |-----------------------------|--------------------------------------------|
//   | evidence item, version > 4  | its list table template                    |
//   | evidence item, version <= 4 | old record: see ReadOldEvidenceItem        |
//   | detail page                 | its detail list table template             |
//   | parameter type              | a carrier with the editor's options, when  |
//   |                             | the editor has options                     |
//
// The file is read into memory whole (inflated on the way), then parsed.
// A damaged body never leaves a half-read model: the definitions are cleared,
// the user data are cleared, and the connection settings are only replaced
// once the whole body has been read.
#include "model/io/model_file.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <unordered_set>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/connection_manager.h"
#include "model/editor_options.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/io/object_stream.h"
#include "model/io/old_evidence_item.h"
#include "model/io/stored_parts.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/table_template.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "settings/ini_file.h"
#include "settings/published_visitors.h"
#include "util/codepage.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/module_path.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr size_t kPiece = 32768;

const std::string& BadFileTypeMessage() {
  static const std::string text = Cp1250("Neplatný typ souboru");
  return text;
}
const std::string& NewerVersionMessage() {
  static const std::string text = Cp1250("Data byla uložena novější verzí softwaru. Nelze načíst.");
  return text;
}
const std::string& BadDefinitionMessage() {
  static const std::string text = Cp1250("Vadný definiční soubor. Nelze načíst.");
  return text;
}
const std::string& BadUserFileMessage() {
  static const std::string text = Cp1250("Vadný uživatelský soubor. Nelze načíst.");
  return text;
}

// ---------------------------------------------------------------------------
// Reading files into memory

void ReadPiece(TInputFile& file, size_t wanted, std::vector<uint8_t>& out, size_t& got) {
  const size_t start = out.size();
  out.resize(start + wanted);
  got = 0;
  while (got < wanted) {
    const size_t n = file.Read(reinterpret_cast<char*>(out.data() + start + got), wanted - got);
    if (n == 0) break;
    got += n;
  }
  out.resize(start + got);
}

[[noreturn]] void TooLarge(const std::string& name) { throw Exception("File \"" + name + "\" is too large"); }

// Inflates the rest of `file` into `out`. A stream that ends early is not
// an error here: the parser finds the missing bytes.
void InflateRest(TInputFile& file, std::vector<uint8_t>& out, size_t limit) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw Exception("Cannot inflate file \"" + file.Name() + "\"");
  struct End {
    z_stream& s;
    ~End() { inflateEnd(&s); }
  } end{stream};
  std::vector<uint8_t> input(kPiece);
  uint8_t output[kPiece];
  for (;;) {
    const size_t n = file.Read(reinterpret_cast<char*>(input.data()), input.size());
    if (n == 0) return;
    stream.next_in = input.data();
    stream.avail_in = static_cast<uInt>(n);
    while (stream.avail_in > 0) {
      stream.next_out = output;
      stream.avail_out = sizeof output;
      const int status = inflate(&stream, Z_NO_FLUSH);
      if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR || status == Z_STREAM_ERROR)
        throw Exception("Cannot inflate file \"" + file.Name() + "\". " +
                        (stream.msg != nullptr ? stream.msg : "invalid compressed data"));
      const size_t produced = sizeof output - stream.avail_out;
      if (out.size() + produced > limit) TooLarge(file.Name());
      out.insert(out.end(), output, output + produced);
      if (status == Z_STREAM_END) return;
      if (status == Z_BUF_ERROR) break;
    }
  }
}

uint16_t ReadUint16(const std::vector<uint8_t>& buffer, size_t offset) {
  return static_cast<uint16_t>(buffer[offset] | (buffer[offset + 1] << 8));
}

// ---------------------------------------------------------------------------
// Element records

// Lines of a text: split at CR LF, CR or LF, as text lists take them.
TStrings SplitLines(const std::string& text) {
  TStrings lines;
  lines.SetText(text);
  return lines;
}

// Reads the body of one file into the model's lists.
class TBodyReader {
 public:
  TBodyReader(TInetMgrModel& model, const std::vector<uint8_t>& buffer)
      : model_(model),
        reader_(buffer.data() + kModelFileHeaderSize, buffer.size() - kModelFileHeaderSize),
        version_(model.Version) {}

  void ReadDefinitions(TConnectionManager* connection) {
    TConnectionManager read_connection;
    reader_.ReadObject(read_connection);
    ReadList(model_.ApplicationTypes());
    ReadList(model_.ParamTypeDefs(),
             [this](T_V_DataElement& e) { ReadParamTypeExtras(static_cast<TParamTypeDef&>(e)); });
    ReadList(model_.ApplicationRoles());
    if (version_ > 4) {
      ReadList(model_.EvidenceItems(),
               [this](T_V_DataElement& e) { ReadTemplate(ListTemplateOf(static_cast<TEvidenceItem&>(e))); });
      ReadList(model_.EvidenceItemDetailPages(), [this](T_V_DataElement& e) {
        ReadTemplate(DetailListTemplateOf(static_cast<TEvidenceItemDetailPage&>(e)));
      });
      ReadList(model_.EvidenceItemActions());
    } else {
      ReadOldEvidenceItems();
    }
    ReadList(model_.ParamDefs());
    if (model_.Mode == TInetMgrModel::kDefinitionsMode && version_ <= 5) model_.ParamDefs().FixDuplicateIDs(true);
    if (version_ > 17) ReadList(model_.EvidenceItemDetailPageSwitches());
    if (connection != nullptr) AssignPublished(*connection, read_connection);
  }

  void ReadUserData(TConnectionManager* connection) {
    TConnectionManager read_connection;
    reader_.ReadObject(read_connection);
    ReadList(model_.UserAccounts());
    if (version_ > 3) {
      ReadList(model_.UserOverridesApplicationRole());
      ReadList(model_.UserOverridesEvidenceItem());
      if (version_ < 8) {
        RemoveDuplicates(model_.UserOverridesApplicationRole(), [](const T_V_DataElement* e) {
          return static_cast<const TUserOverride_ApplicationRole*>(e)->detApplicationRoleID;
        });
        RemoveDuplicates(model_.UserOverridesEvidenceItem(), [](const T_V_DataElement* e) {
          return static_cast<const TUserOverride_EvidenceItem*>(e)->detEvidenceItemID;
        });
      }
    }
    if (connection != nullptr) AssignPublished(*connection, read_connection);
  }

 private:
  // Reads a count and that many records: each element is made by the list's
  // element class, read, completed by `extras`, and handed to the list.
  template <class ExtrasFn = std::nullptr_t>
  void ReadList(T_V_AbstractDataList& list, ExtrasFn extras = nullptr) {
    const int32_t count = reader_.ReadCount();
    const TElementClass& element_class = *list.ElementClass();
    for (int32_t i = 0; i < count; ++i) {
      std::unique_ptr<T_V_DataElement> element = element_class.Create();
      element->LoadFromStream(&model_, reader_);
      if constexpr (!std::is_same_v<ExtrasFn, std::nullptr_t>) extras(*element);
      list.AddNew(std::move(element));
    }
  }

  // A table template follows its element; without a place to keep it the
  // object is read and dropped.
  void ReadTemplate(TPublishedObject* target) {
    if (target != nullptr)
      reader_.ReadObject(*target);
    else
      reader_.SkipObject();
  }

  void ReadCarrier(TPublishedObject& carried) {
    TCarrier carrier(carried);
    reader_.ReadObject(carrier);
  }
  void ReadCarrier(TPublishedCollection& carried) {
    TCarrier carrier(carried);
    reader_.ReadObject(carrier);
  }

  // The editor's options follow a parameter type. Up to version 6 the
  // options of the Lookup editor were one text, which becomes its lines.
  void ReadParamTypeExtras(TParamTypeDef& type) {
    TPublishedObject* options = BindEditorOptions(type);
    const bool has_options = options != nullptr || EditorHasOptions(type);
    if (version_ > 6 || !SameText(type.detParamEditorID, kLookupEditorID)) {
      if (options != nullptr)
        ReadCarrier(*options);
      else if (has_options)
        reader_.SkipObject();
      return;
    }
    TZNKVisitedAnsiString old_options;
    ReadCarrier(old_options);
    if (options == nullptr) return;
    if (TPropertyRef lines = FindPublishedProperty(*options, "Lines"); lines && lines.property->Kind() == pkStringList)
      *lines.property->Strings(*lines.object) = SplitLines(old_options.Text);
  }

  void ReadOldEvidenceItems() {
    const int32_t count = reader_.ReadCount();
    for (int32_t i = 0; i < count; ++i) ReadOldEvidenceItem();
  }

  // The record of versions 1 to 4: the old item, the list template, from
  // version 2 the list column attributes, in versions 3 and 4 the detail
  // column attributes, the detail list template and the detail list column
  // attributes. It becomes an item and, when it had detail SQL, the item's
  // "Default detail" page.
  void ReadOldEvidenceItem() {
    TOldEvidenceItem old;
    auto item = std::make_unique<TEvidenceItem>();
    item->SetModelCache(&model_);
    auto page = std::make_unique<TEvidenceItemDetailPage>();
    page->SetModelCache(&model_);
    reader_.ReadObject(old);
    ReadTemplate(ListTemplateOf(*item));
    if (version_ > 1) ReadCarrier(old.ColumnAttributes);
    if (version_ >= 3) {
      ReadCarrier(old.DetailColumnAttributes);
      ReadTemplate(DetailListTemplateOf(*page));
      ReadCarrier(old.DetailListColumnAttributes);
    }
    ConvertOldEvidenceItem(old, std::move(item), std::move(page));
  }

  void ConvertOldEvidenceItem(const TOldEvidenceItem& old, std::unique_ptr<TEvidenceItem> item_owner,
                              std::unique_ptr<TEvidenceItemDetailPage> page_owner) {
    TEvidenceItem& item = *item_owner;
    AssignPublished(item, old);
    // Columns whose caption was "*" were the detail links; they take the
    // old link text, and the last of them names the row identifier.
    std::string link_field;
    bool found_link = false;
    if (TPublishedObject* list_template = ListTemplateOf(item)) {
      if (TPublishedCollection* columns = CollectionAt(*list_template, "Columns")) {
        for (size_t c = 0; c < columns->Count(); ++c) {
          TPublishedObject& column = columns->Item(c);
          if (StringAt(column, "Title.Caption") != "*") continue;
          SetIfPublished(column, "Align", TVariant::String("haLeft"));
          SetIfPublished(column, "Title.Caption", TVariant::String(old.detail_link_text));
          link_field = StringAt(column, "FieldName");
          found_link = true;
        }
      }
    }
    TPublishedObject* link_attribute = nullptr;
    if (found_link) {
      link_attribute = FindAttribute(item, "ColumnAttributes", link_field);
      if (link_attribute != nullptr) SetIfPublished(*link_attribute, "RowIdentifier", TVariant::Boolean(true));
    }
    TEvidenceItem* added = model_.EvidenceItems().AddNew(std::move(item_owner));
    if (Trim(old.DetailSelectClause.Text()).empty() && Trim(old.DetailListSelectClause.Text()).empty()) return;
    TEvidenceItemDetailPage& page = *page_owner;
    AssignPublished(page, old);
    page.detEvidenceItemID = added->InstanceID;
    SetIfPublished(page, "EvidenceDetailName", TVariant::String("Default detail"));
    TEvidenceItemDetailPage* page_added = model_.EvidenceItemDetailPages().AddNew(std::move(page_owner));
    added->DetailPages().Add(page_added);
    if (link_attribute != nullptr)
      SetIfPublished(*link_attribute, "IDDetailPage", TVariant::String(page_added->InstanceID));
  }

  static TPublishedCollection* CollectionAt(TPublishedObject& object, std::string_view path) {
    TPropertyRef ref = FindPublishedProperty(object, path);
    return ref && ref.property->Kind() == pkCollection ? ref.property->Collection(*ref.object) : nullptr;
  }
  static std::string StringAt(TPublishedObject& object, std::string_view path) {
    TPropertyRef ref = FindPublishedProperty(object, path);
    return ref && ref.property->Kind() == pkString ? ref.property->GetString(*ref.object) : std::string();
  }
  static void SetIfPublished(TPublishedObject& object, std::string_view path, const TVariant& value) {
    if (FindPublishedProperty(object, path)) SetPublishedValue(object, path, value);
  }
  static TPublishedObject* FindAttribute(TPublishedObject& owner, std::string_view collection_name,
                                         const std::string& field_name) {
    TPublishedCollection* attributes = CollectionAt(owner, collection_name);
    if (attributes == nullptr) return nullptr;
    for (size_t a = 0; a < attributes->Count(); ++a)
      if (SameText(StringAt(attributes->Item(a), "FieldName"), field_name)) return &attributes->Item(a);
    return nullptr;
  }

  // Keeps the first element of each key and deletes the later ones, from the
  // last to the first.
  template <class Key>
  static void RemoveDuplicates(T_V_AbstractDataList& list, Key key) {
    std::unordered_set<std::string> seen;
    std::vector<T_V_DataElement*> later;
    list.ForEach([&](T_V_DataElement* e) {
      if (!seen.insert(key(e)).second) later.push_back(e);
    });
    for (auto it = later.rbegin(); it != later.rend(); ++it) (*it)->Delete();
  }

  TInetMgrModel& model_;        // the model read into
  TObjectStreamReader reader_;  // over the body of the file
  uint16_t version_;            // the file's format version
};

}  // namespace

// ---------------------------------------------------------------------------
// Files

std::string DefinitionFileName(std::string_view user_file_name) {
  if (user_file_name.empty()) return ModuleDir() + "qmxdef.idt";
  return ExtractFilePath(user_file_name) + "qmxdef.idt";
}

void ReadFileToStream(const std::string& file_name, std::vector<uint8_t>& buffer) {
  if (file_name.empty()) return;
  std::optional<TInputFile> file = TInputFile::OpenIfExists(file_name);
  if (!file) return;
  if (file->SizeAtOpen() > kMaxModelFileBytes) TooLarge(file_name);
  const size_t start = buffer.size();
  size_t got = 0;
  ReadPiece(*file, kModelFileHeaderSize, buffer, got);
  if (got == kModelFileHeaderSize && ReadUint16(buffer, start + 6) != 0) {
    InflateRest(*file, buffer, start + kMaxModelFileBytes);
    return;
  }
  do {
    if (buffer.size() - start > kMaxModelFileBytes) TooLarge(file_name);
    ReadPiece(*file, kPiece, buffer, got);
  } while (got == kPiece);
}

TModelFileHeader CheckModelFileHeader(const std::vector<uint8_t>& buffer) {
  if (buffer.size() < kModelFileHeaderSize) throw Exception(BadFileTypeMessage());
  const uint32_t magic = static_cast<uint32_t>(buffer[0]) | (static_cast<uint32_t>(buffer[1]) << 8) |
                         (static_cast<uint32_t>(buffer[2]) << 16) | (static_cast<uint32_t>(buffer[3]) << 24);
  if (magic != kModelFileMagic) throw Exception(BadFileTypeMessage());
  TModelFileHeader header;
  header.version = ReadUint16(buffer, 4);
  header.compressed = ReadUint16(buffer, 6) != 0;
  // Version 0 was never written; such a header is not one of ours.
  if (header.version == 0) throw Exception(BadFileTypeMessage());
  if (header.version > kHighestModelFileVersion) throw Exception(NewerVersionMessage());
  return header;
}

void ReadStreams(TInetMgrModel& model, const std::vector<uint8_t>* definition, const std::vector<uint8_t>* user,
                 const TModelConnections& connections) {
  TModelStateScope loading(model, msLoading);
  if (definition != nullptr) {
    if (definition->empty()) {
      model.ClearAll();
    } else {
      const TModelFileHeader header = CheckModelFileHeader(*definition);
      model.Version = header.version;
      model.ClearAll();
      try {
        TBodyReader(model, *definition).ReadDefinitions(connections.definition);
      } catch (...) {
        model.ClearAll();
        throw Exception(BadDefinitionMessage());
      }
    }
  }
  if (user != nullptr) {
    if (user->empty()) {
      if (definition == nullptr) model.ClearUserData();
      return;
    }
    const TModelFileHeader header = CheckModelFileHeader(*user);
    model.Version = header.version;
    if (definition == nullptr) model.ClearUserData();
    try {
      TBodyReader(model, *user).ReadUserData(connections.user);
    } catch (...) {
      // The overrides go with the accounts: none of a damaged file stays.
      model.ClearUserData();
      throw Exception(BadUserFileMessage());
    }
  }
}

void LoadFromFile(TInetMgrModel& model, const std::string& file_name, const TModelConnections& connections) {
  // The buffers hold the raw bytes only while they are parsed, also when
  // the parse fails.
  struct Release {
    TInetMgrModel& m;
    ~Release() {
      std::vector<uint8_t>().swap(m.DefinitionStream);
      std::vector<uint8_t>().swap(m.UserStream);
    }
  } release{model};
  model.DefinitionStream.clear();
  model.UserStream.clear();
  if (model.Mode == TInetMgrModel::kDefinitionsMode) {
    ReadFileToStream(file_name, model.DefinitionStream);
    ReadStreams(model, &model.DefinitionStream, nullptr, connections);
  } else {
    ReadFileToStream(DefinitionFileName(file_name), model.DefinitionStream);
    ReadFileToStream(file_name, model.UserStream);
    ReadStreams(model, &model.DefinitionStream, file_name.empty() ? nullptr : &model.UserStream, connections);
  }
  model.LinkAll();
  model.AfterLoadAll();
  model.Modified = false;
}

void LoadPortalModel(TInetMgrModel& model, const std::string& folder, const TModelConnections& connections) {
  model.Mode = TInetMgrModel::kUserDataMode;
  LoadFromFile(model, folder + "user.idt", connections);
  const std::string server_ini = folder + "server.ini";
  std::error_code error;
  if (connections.user != nullptr && std::filesystem::is_regular_file(server_ini, error)) {
    TZNKIniFile ini(server_ini);
    ReadPublishedFromIni(*connections.user, ini, "CONNECTION");
  }
}

}  // namespace tessaro
