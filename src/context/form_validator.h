// The browser-side checks of a page's forms, written as JavaScript by the tag
// "tag_script".
//
// A page registers checks per form while it prepares itself (a filter field
// must be a date, a record number a positive integer, an action asks for
// confirmation). Each form gets one submit function holding its checks; the
// script holds the page's own lines, the library functions those checks need
// (each after the functions it calls) and the submit functions. A form calls
// its function through the attribute OnSubmitAttribute returns.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/string_list.h"

namespace tessaro {

class TZNKJavaFunctions;
class TZNKHTMLFormValidator;

// One script function: its name, its source lines and the functions it calls.
class TZNKJavaFunction {
 public:
  TZNKJavaFunction(TZNKJavaFunctions* owner, std::string name) : owner_(owner), name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  TZNKJavaFunctions* Owner() const { return owner_; }
  TStrings& Lines() { return lines_; }
  const TStrings& Lines() const { return lines_; }
  // The functions this one calls directly, each once.
  const std::vector<TZNKJavaFunction*>& Uses() const { return uses_; }
  // Records that this function calls `function` (a second call adds nothing).
  void Use(TZNKJavaFunction* function);
  // Whether this function calls `function` directly or through other functions.
  bool UsesIndirectly(const TZNKJavaFunction* function) const;

  int mark = 0;  // while writing: 0 not written, 1-99 library function, 100+ form function

 private:
  TZNKJavaFunctions* owner_;             // the list that owns this function
  std::string name_;                     // the script name
  TStrings lines_;                       // the source, one entry per line
  std::vector<TZNKJavaFunction*> uses_;  // called functions, owned by the same list
};

// The functions of one validator in writing order; owns them.
class TZNKJavaFunctions {
 public:
  explicit TZNKJavaFunctions(TZNKHTMLFormValidator* validator) : validator_(validator) {}

  TZNKHTMLFormValidator* Validator() const { return validator_; }
  size_t Count() const { return functions_.size(); }
  TZNKJavaFunction& operator[](size_t i) const { return *functions_[i]; }
  // Appends a new, empty function; the returned pointer lives as long as the list.
  TZNKJavaFunction* Add(std::string name);
  // The function with this name (exact, as script names are), or null.
  TZNKJavaFunction* Find(std::string_view name) const;
  // Reorders the list so that every function comes after the functions it
  // uses; does nothing when no function was added since the last time.
  void Sort();

 private:
  TZNKHTMLFormValidator* validator_;                          // the validator that owns this list
  std::vector<std::unique_ptr<TZNKJavaFunction>> functions_;  // in writing order
  bool sorted_ = false;                                       // no function added since the last Sort
};

class TZNKHTMLFormValidator {
 public:
  // Builds the library of check functions; the separators and the date
  // pattern come from the process's regional settings at this moment.
  TZNKHTMLFormValidator();
  TZNKHTMLFormValidator(const TZNKHTMLFormValidator&) = delete;
  TZNKHTMLFormValidator& operator=(const TZNKHTMLFormValidator&) = delete;

  // Checks that field `field` of form `form` holds a date of the regional
  // short date pattern, a decimal number, an unsigned integer, a positive
  // integer, or an integer from min to max. An empty field passes only when
  // allow_empty. On failure the browser shows `message` and focuses the field.
  void AddDateCheck(std::string_view form, std::string_view field, bool allow_empty, std::string_view message);
  void AddFloatCheck(std::string_view form, std::string_view field, bool allow_empty, std::string_view message);
  void AddIntegerCheck(std::string_view form, std::string_view field, bool allow_empty, std::string_view message);
  void AddPositiveIntegerCheck(std::string_view form, std::string_view field, bool allow_empty,
                               std::string_view message);
  void AddRangeCheck(std::string_view form, std::string_view field, int min, int max, bool allow_empty,
                     std::string_view message);
  // Asks for confirmation before form `form` is sent; `prompt` is a script
  // expression, normally a quoted string.
  void AddPrompt(std::string_view form, std::string_view prompt);

  // OnSubmit="javascript:return submit_<form>(this);", or empty when the form
  // has no checks.
  std::string OnSubmitAttribute(std::string_view form) const;

  // The <script> element of "tag_script": `script_lines`, the library
  // functions the forms need (all of them with the parameter "library"), and
  // the forms' submit functions. With the parameter "partial" the element is
  // left open (ending with a blank) for the template to continue; every other
  // parameter becomes an attribute of the script tag. Empty when there is
  // nothing to write.
  std::string Script(const TStrings& params, const TStrings& script_lines);

  TZNKJavaFunctions& Functions() { return functions_; }

 private:
  TZNKJavaFunction* SubmitFunction(std::string_view form);
  void AddTypeCheck(std::string_view form, std::string_view field, bool allow_empty, std::string_view message,
                    std::string_view check_function, const std::string& test);

  TZNKJavaFunctions functions_;                                  // library and form functions
  std::map<std::string, TZNKJavaFunction*, std::less<>> forms_;  // form name -> its submit function
};

// `text` as the content of a double-quoted script string: backslashes, double
// quotes and line breaks are escaped, and "</" is written "<\/" so that the
// text cannot end the surrounding <script> element.
std::string JsStringText(std::string_view text);

// One library function as the validator's constructor creates it.
struct TValidatorLibraryFunction {
  std::string name;
  std::vector<std::string> uses;
  std::vector<std::string> lines;
};

// The library functions in their fixed order; isFloat and isDate are built
// with the decimal and thousands separators, the date separator and the short
// date pattern of the current regional settings.
std::vector<TValidatorLibraryFunction> ValidatorLibrary();

}  // namespace tessaro
