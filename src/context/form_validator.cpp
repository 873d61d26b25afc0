// The form validator: a list of script functions (the fixed library plus one
// submit function per form) and the writing of the <script> element.
//
// Every check a page registers becomes one or two lines of its form's submit
// function, and the submit function records which library functions it calls.
// When the script is written, a function is included when "library" asks for
// all of them or when some submit function needs it, directly or through other
// library functions; the list is ordered first so that every function follows
// the functions it calls. Each submit function ends with "return true", so a
// form is sent only when every check passed.
#include "context/form_validator.h"

#include <algorithm>
#include <utility>

#include "util/exception.h"
#include "util/format.h"
#include "util/text.h"

namespace tessaro {

void TZNKJavaFunction::Use(TZNKJavaFunction* function) {
  if (std::find(uses_.begin(), uses_.end(), function) == uses_.end()) uses_.push_back(function);
}

namespace {

// Depth-first over the call graph; `seen` keeps a cycle from looping.
bool Reaches(const TZNKJavaFunction& from, const TZNKJavaFunction* target, std::vector<const TZNKJavaFunction*>& seen) {
  for (const TZNKJavaFunction* f : from.Uses()) {
    if (f == target) return true;
    if (std::find(seen.begin(), seen.end(), f) != seen.end()) continue;
    seen.push_back(f);
    if (Reaches(*f, target, seen)) return true;
  }
  return false;
}

}  // namespace

bool TZNKJavaFunction::UsesIndirectly(const TZNKJavaFunction* function) const {
  std::vector<const TZNKJavaFunction*> seen;
  return Reaches(*this, function, seen);
}

TZNKJavaFunction* TZNKJavaFunctions::Add(std::string name) {
  functions_.push_back(std::make_unique<TZNKJavaFunction>(this, std::move(name)));
  sorted_ = false;
  return functions_.back().get();
}

TZNKJavaFunction* TZNKJavaFunctions::Find(std::string_view name) const {
  for (const auto& f : functions_)
    if (f->Name() == name) return f.get();
  return nullptr;
}

void TZNKJavaFunctions::Sort() {
  if (sorted_) return;
  // Whenever the function at i calls a later one, that one moves to i; since
  // "calls" is transitive, once j has passed a position nothing at i calls
  // anything beyond it, so i ends up holding a function that calls nothing
  // after it.
  const size_t n = functions_.size();
  for (size_t i = 0; i + 1 < n; ++i)
    for (size_t j = n - 1; j > i; --j)
      if (functions_[i]->UsesIndirectly(functions_[j].get())) std::swap(functions_[i], functions_[j]);
  sorted_ = true;
}

std::string JsStringText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '/':
        out += (i > 0 && text[i - 1] == '<') ? "\\/" : "/";
        break;
      default:
        out += c;
    }
  }
  return out;
}

TZNKHTMLFormValidator::TZNKHTMLFormValidator() : functions_(this) {
  std::vector<TValidatorLibraryFunction> library = ValidatorLibrary();
  for (const auto& entry : library) {
    TZNKJavaFunction* f = functions_.Add(entry.name);
    for (const auto& line : entry.lines) f->Lines().Add(line);
  }
  for (const auto& entry : library) {
    TZNKJavaFunction* f = functions_.Find(entry.name);
    for (const auto& used : entry.uses) {
      TZNKJavaFunction* callee = functions_.Find(used);
      if (callee == nullptr) throw Exception("Validator library function " + used + " is missing");
      f->Use(callee);
    }
  }
}

TZNKJavaFunction* TZNKHTMLFormValidator::SubmitFunction(std::string_view form) {
  auto it = forms_.find(form);
  if (it != forms_.end()) return it->second;
  TZNKJavaFunction* f = functions_.Add(Format("submit_%s", {form}));
  f->Lines().Add(Format("function %s(form)  {", {f->Name()}));
  forms_.emplace(std::string(form), f);
  return f;
}

void TZNKHTMLFormValidator::AddTypeCheck(std::string_view form, std::string_view field, bool allow_empty,
                                         std::string_view message, std::string_view check_function,
                                         const std::string& test) {
  TZNKJavaFunction* submit = SubmitFunction(form);
  const std::string value = Format("form.%s.value", {field});
  const std::string fail = Format(" alert(\"%s\"); form.%s.focus (); return(false);", {JsStringText(message), field});
  if (allow_empty) {
    submit->Lines().Add("if (!isEmpty(" + value + ")) { if (!" + test + ") {" + fail + "}};");
  } else {
    submit->Lines().Add("if (isEmpty(" + value + ")) {" + fail + "};");
    submit->Lines().Add("if (!" + test + ") {" + fail + "};");
  }
  submit->Use(functions_.Find(check_function));
  submit->Use(functions_.Find("isEmpty"));
}

void TZNKHTMLFormValidator::AddDateCheck(std::string_view form, std::string_view field, bool allow_empty,
                                         std::string_view message) {
  AddTypeCheck(form, field, allow_empty, message, "isDate", Format("isDate(form.%s.value)", {field}));
}

void TZNKHTMLFormValidator::AddFloatCheck(std::string_view form, std::string_view field, bool allow_empty,
                                          std::string_view message) {
  AddTypeCheck(form, field, allow_empty, message, "isFloat", Format("isFloat(form.%s.value)", {field}));
}

void TZNKHTMLFormValidator::AddIntegerCheck(std::string_view form, std::string_view field, bool allow_empty,
                                            std::string_view message) {
  AddTypeCheck(form, field, allow_empty, message, "isInteger", Format("isInteger(form.%s.value)", {field}));
}

void TZNKHTMLFormValidator::AddPositiveIntegerCheck(std::string_view form, std::string_view field, bool allow_empty,
                                                    std::string_view message) {
  AddTypeCheck(form, field, allow_empty, message, "isPositiveInteger",
               Format("isPositiveInteger(form.%s.value)", {field}));
}

void TZNKHTMLFormValidator::AddRangeCheck(std::string_view form, std::string_view field, int min, int max,
                                          bool allow_empty, std::string_view message) {
  AddTypeCheck(form, field, allow_empty, message, "isIntegerInRange",
               Format("isIntegerInRange(form.%s.value,%d,%d)", {field, min, max}));
}

void TZNKHTMLFormValidator::AddPrompt(std::string_view form, std::string_view prompt) {
  TZNKJavaFunction* submit = SubmitFunction(form);
  submit->Lines().Add(Format("if (!PromptedSubmit(%s)) { return(false);};", {prompt}));
  submit->Use(functions_.Find("PromptedSubmit"));
}

std::string TZNKHTMLFormValidator::OnSubmitAttribute(std::string_view form) const {
  auto it = forms_.find(form);
  if (it == forms_.end()) return "";
  return Format("OnSubmit=\"javascript:return %s(this);\"", {it->second->Name()});
}

std::string TZNKHTMLFormValidator::Script(const TStrings& params, const TStrings& script_lines) {
  const bool partial = !params.Values("partial").empty();
  const bool library = !params.Values("library").empty();
  std::string attributes;
  for (size_t i = 0; i < params.Count(); ++i) {
    std::string name = params.Names(i);
    if (SameText(name, "partial") || SameText(name, "library")) continue;
    attributes += Format("%s=\"%s\"", {name, params.ValueFromIndex(i)}) + " ";
  }

  functions_.Sort();
  constexpr int kFormMark = 100;
  for (size_t i = 0; i < functions_.Count(); ++i) functions_[i].mark = library ? 1 : 0;
  for (const auto& [form, submit] : forms_) submit->mark = kFormMark;
  for (const auto& [form, submit] : forms_)
    for (size_t i = 0; i < functions_.Count(); ++i)
      if (functions_[i].mark == 0 && submit->UsesIndirectly(&functions_[i])) functions_[i].mark = 1;

  std::string text;
  for (const auto& line : script_lines) text += line + "\r\n";
  for (size_t i = 0; i < functions_.Count(); ++i) {
    const TZNKJavaFunction& f = functions_[i];
    if (f.mark < 1 || f.mark >= kFormMark) continue;
    text += "\r";
    for (const auto& line : f.Lines()) text += line + "\r\n";
  }
  for (size_t i = 0; i < functions_.Count(); ++i) {
    const TZNKJavaFunction& f = functions_[i];
    if (f.mark < kFormMark) continue;
    text += "\r";
    for (const auto& line : f.Lines()) text += line + "\r\n";
    text += "\r return true }\r";
  }
  if (partial) text += " ";
  if (text.empty()) return "";

  std::string html = Format("<script type=\"text/javascript\" %s><!-- ", {attributes}) + "\r" + text;
  if (!partial) html += "//--></SCRIPT>";
  return html;
}

}  // namespace tessaro
