// Writing the definition and user files: the same layout the reader takes
// (see model_file.cpp for the header and body tables), for every format
// version. Properties equal to their declared defaults are left out, so a
// file holds only what differs from a freshly made element.
#include "model/io/model_file_writer.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
#include "settings/published_visitors.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/guid.h"
#include "util/text.h"

namespace tessaro {
namespace {

// An object with no properties: stands in for a template or options object
// an element does not have, so the file keeps its shape.
class TNothing : public TPublishedObject {};

class TBodyWriter {
 public:
  TBodyWriter(const TInetMgrModel& model, uint16_t version, std::string& out)
      : model_(model), version_(version), writer_(out) {}

  void WriteDefinitions(const TConnectionManager& connection) {
    connection.SaveToStream(writer_);
    model_.ApplicationTypes().SaveToStream(writer_);
    WriteList(model_.ParamTypeDefs(),
              [this](const T_V_DataElement& e) { WriteParamTypeExtras(static_cast<const TParamTypeDef&>(e)); });
    model_.ApplicationRoles().SaveToStream(writer_);
    if (version_ > 4) {
      WriteList(model_.EvidenceItems(), [this](const T_V_DataElement& e) {
        WriteTemplate(ListTemplateOf(static_cast<const TEvidenceItem&>(e)));
      });
      WriteList(model_.EvidenceItemDetailPages(), [this](const T_V_DataElement& e) {
        WriteTemplate(DetailListTemplateOf(static_cast<const TEvidenceItemDetailPage&>(e)));
      });
      model_.EvidenceItemActions().SaveToStream(writer_);
    } else {
      writer_.WriteCount(model_.EvidenceItems().Count());
      model_.EvidenceItems().ForEach(
          [this](const T_V_DataElement* e) { WriteOldEvidenceItem(static_cast<const TEvidenceItem&>(*e)); });
    }
    model_.ParamDefs().SaveToStream(writer_);
    if (version_ > 17) model_.EvidenceItemDetailPageSwitches().SaveToStream(writer_);
  }

  void WriteUserData(const TConnectionManager& connection) {
    connection.SaveToStream(writer_);
    model_.UserAccounts().SaveToStream(writer_);
    if (version_ > 3) {
      model_.UserOverridesApplicationRole().SaveToStream(writer_);
      model_.UserOverridesEvidenceItem().SaveToStream(writer_);
    }
  }

 private:
  template <class Extras>
  void WriteList(const T_V_AbstractDataList& list, Extras extras) {
    writer_.WriteCount(list.Count());
    list.ForEach([&](const T_V_DataElement* e) {
      e->SaveToStream(writer_);
      extras(*e);
    });
  }

  void WriteTemplate(const TPublishedObject* object) {
    static const TNothing nothing;
    writer_.WriteObject(object != nullptr ? *object : nothing, TTableTemplate::kClassName);
  }

  // The carrier only hands the carried object's properties on.
  void WriteCarrier(const TPublishedObject& carried) {
    writer_.WriteObject(TCarrier(const_cast<TPublishedObject&>(carried)), kCarrierClassName);
  }
  void WriteCarrier(const TPublishedCollection& carried) {
    writer_.WriteObject(TCarrier(const_cast<TPublishedCollection&>(carried)), kCarrierClassName);
  }

  // The reader decides as old files were made: up to version 6 a type
  // naming the Lookup editor, in any letter case, is followed by the text
  // of its options, whether or not its editor was bound.
  void WriteParamTypeExtras(const TParamTypeDef& type) {
    const TPublishedObject* options = EditorOptionsOf(type);
    if (version_ > 6 || !SameText(type.detParamEditorID, kLookupEditorID)) {
      static const TNothing nothing;
      if (EditorHasOptions(type)) WriteCarrier(options != nullptr ? *options : nothing);
      return;
    }
    TZNKVisitedAnsiString text;
    if (options != nullptr)
      if (TPropertyRef lines = FindPublishedProperty(const_cast<TPublishedObject&>(*options), "Lines");
          lines && lines.property->Kind() == pkStringList)
        text.Text = lines.property->Strings(*lines.object)->Text();
    WriteCarrier(text);
  }

  // The old record of an item: the item's own properties, and those of its
  // first detail page, which old files kept in the item.
  void WriteOldEvidenceItem(const TEvidenceItem& item) {
    TOldEvidenceItem old;
    AssignPublished(old, item);
    const TEvidenceItemDetailPage* page = FirstDetailPage(item);
    if (page != nullptr) {
      AssignPublished(old, *page);
      old.InstanceID = item.InstanceID;
    }
    writer_.WriteObject(old, TEvidenceItem::kClassName);
    WriteTemplate(ListTemplateOf(item));
    if (version_ > 1) WriteCarrier(old.ColumnAttributes);
    if (version_ >= 3) {
      WriteCarrier(old.DetailColumnAttributes);
      WriteTemplate(page != nullptr ? DetailListTemplateOf(*page) : nullptr);
      WriteCarrier(old.DetailListColumnAttributes);
    }
  }

  const TEvidenceItemDetailPage* FirstDetailPage(const TEvidenceItem& item) const {
    return static_cast<const TEvidenceItemDetailPage*>(
        model_.EvidenceItemDetailPages().FirstThat([&item](const T_V_DataElement* e) {
          return SameText(static_cast<const TEvidenceItemDetailPage*>(e)->detEvidenceItemID, item.InstanceID);
        }));
  }

  const TInetMgrModel& model_;  // the model written
  uint16_t version_;            // the format version written
  TObjectStreamWriter writer_;  // appends to the body
};

std::string Header(uint16_t version, bool compressed) {
  std::string header(kModelFileHeaderSize, '\0');
  const uint32_t magic = kModelFileMagic;
  for (int i = 0; i < 4; ++i) header[i] = static_cast<char>(magic >> (8 * i));
  header[4] = static_cast<char>(version & 0xFF);
  header[5] = static_cast<char>(version >> 8);
  header[6] = compressed ? 1 : 0;
  return header;
}

std::string Deflate(const std::string& body) {
  uLongf size = compressBound(body.size());
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(body.data()), body.size(),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    throw Exception("Cannot compress the file body");
  out.resize(size);
  return out;
}

template <class WriteBody>
std::string FileBytes(TModelFileFormat format, WriteBody write_body) {
  if (format.version < 1 || format.version > kHighestModelFileVersion)
    throw Exception("Format version " + std::to_string(format.version) + " cannot be written (1 to " +
                    std::to_string(kHighestModelFileVersion) + ")");
  std::string body;
  write_body(body);
  return Header(format.version, format.compressed) + (format.compressed ? Deflate(body) : body);
}

}  // namespace

std::string DefinitionFileBytes(const TInetMgrModel& model, const TConnectionManager& connection,
                                TModelFileFormat format) {
  return FileBytes(format,
                   [&](std::string& body) { TBodyWriter(model, format.version, body).WriteDefinitions(connection); });
}

std::string UserFileBytes(const TInetMgrModel& model, const TConnectionManager& connection, TModelFileFormat format) {
  return FileBytes(format,
                   [&](std::string& body) { TBodyWriter(model, format.version, body).WriteUserData(connection); });
}

TStagedFile::TStagedFile(std::string file_name, std::string_view bytes) : file_name_(std::move(file_name)) {
  // O_EXCL under a random name: never an existing file, nor one that a link
  // planted under a foreseeable name points at.
  TFileDescriptor fd;
  int error = EEXIST;
  for (int attempt = 0; attempt < 8 && error == EEXIST; ++attempt) {
    staged_ = file_name_ + ".new-" + GUIDToString(CreateGUID()).substr(1, 8);
    const int opened = ::open(staged_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    error = opened < 0 ? errno : 0;
    fd = TFileDescriptor(opened);
  }
  if (fd.get() < 0) {
    staged_.clear();
    throw Exception("Cannot create a new file beside \"" + file_name_ + "\". " + std::strerror(error));
  }
  if (!WriteAll(fd.get(), bytes) || fd.Close() != 0) {
    error = errno;
    ::unlink(staged_.c_str());
    staged_.clear();
    throw Exception("Cannot write a new file beside \"" + file_name_ + "\". " + std::strerror(error));
  }
}

TStagedFile::~TStagedFile() {
  if (!staged_.empty()) ::unlink(staged_.c_str());
}

void TStagedFile::Commit() {
  if (std::rename(staged_.c_str(), file_name_.c_str()) != 0)
    throw Exception("Cannot replace file \"" + file_name_ + "\". " + std::strerror(errno));
  staged_.clear();
}

void WriteFileReplacing(const std::string& file_name, std::string_view bytes) {
  TStagedFile(file_name, bytes).Commit();
}

}  // namespace tessaro
