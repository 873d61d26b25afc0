// The fixed library of the browser-side form checks: small JavaScript
// functions that test a field's text (empty, integer, signed, in a range,
// decimal number, date, e-mail address) and ask for confirmation. Submit
// functions of the forms call them.
//
// Two functions depend on the regional settings, because visitors type
// numbers and dates the way the portal writes them: isFloat accepts the
// locale's decimal separator once and its thousands separator anywhere, and
// isDate splits the text at the date separator and takes day, month and year
// in the order of the short date pattern (d.m.yyyy gives day, month, year).
// A date needs a four-digit year from 1900 on; leading zeros of the year are
// dropped first, so 0999 does not pass as four digits.
#include <string>
#include <vector>

#include "context/form_validator.h"
#include "util/format.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

// A separator of the regional settings as script string content; the
// character code 0 means the locale has none.
std::string SeparatorText(char separator) {
  return separator == 0 ? std::string() : JsStringText(std::string(1, separator));
}

bool IsDatePatternSeparator(char c, char date_separator) {
  return c == '.' || c == '/' || (date_separator != 0 && c == date_separator);
}

std::vector<std::string> FloatLines(const TFormatSettings& settings) {
  const std::string decimal = SeparatorText(settings.DecimalSeparator);
  const std::string thousands = SeparatorText(settings.ThousandSeparator);
  return {
      "function isFloat (s)",
      "{ var i;",
      "  var seenDecimalPoint = false;",
      Format("  if (s == \"%s\") return false; ", {decimal}),
      Format("  if (s == \"%s\") return false; ", {thousands}),
      "  for (i = 0; i < s.length; i++)",
      "  {",
      "  var c = s.charAt(i);",
      Format("  if ((c == \"%s\") && !seenDecimalPoint) seenDecimalPoint = true", {decimal}),
      Format("  else if ((!isDigit(c)) && (c!=\"%s\")) return false;", {thousands}),
      "  }",
      "  return true}",
  };
}

// The lines that cut day, month and year out of the text: one per field of the
// short date pattern, in the pattern's order, by the field's first letter.
std::vector<std::string> DateExtractionLines(const std::string& pattern, char date_separator) {
  static const char* const kPositions[] = {"substring(0,pos1)", "substring(pos1+1,pos2)", "substring(pos2+1)"};
  std::vector<std::string> fields;
  std::string field;
  for (size_t i = 0; i <= pattern.size(); ++i) {
    if (i == pattern.size() || IsDatePatternSeparator(pattern[i], date_separator)) {
      size_t letter = field.find_first_not_of(' ');
      if (letter != std::string::npos) fields.push_back(field.substr(letter));
      field.clear();
    } else {
      field += pattern[i];
    }
  }
  std::vector<std::string> lines;
  for (size_t i = 0; i < fields.size() && i < 3; ++i) {
    const char* variable = nullptr;
    switch (fields[i][0]) {
      case 'd':
      case 'D':
        variable = "strDay";
        break;
      case 'm':
      case 'M':
        variable = "strMonth";
        break;
      case 'y':
      case 'Y':
        variable = "strYear";
        break;
      default:
        continue;
    }
    lines.push_back(Format("  var %s=dtStr.%s", {variable, kPositions[i]}));
  }
  return lines;
}

std::vector<std::string> DateLines(const TFormatSettings& settings) {
  const char separator = settings.DateSeparator;
  std::string compact_pattern;
  for (char c : settings.ShortDateFormat)
    if (!IsDatePatternSeparator(c, separator)) compact_pattern += c;

  std::vector<std::string> lines = {
      Format("var dtCh=\"%s\";", {SeparatorText(separator)}),
      Format("var dtFormat=\"%s\";", {JsStringText(compact_pattern)}),
      "function isDate(dtStr){",
      "  var daysInMonth = DaysArray(12)",
      "  var pos1=dtStr.indexOf(dtCh)",
      "  var pos2=dtStr.indexOf(dtCh,pos1+1)",
      "  if ((pos1==-1) || (pos2==-1)) { return false }",
      "  if ((dtStr.indexOf(dtCh,pos2+1)!=-1) || !isInteger(stripCharsInBag(dtStr, dtCh))){",
      "  return false}",
  };
  for (auto& line : DateExtractionLines(settings.ShortDateFormat, separator)) lines.push_back(std::move(line));
  for (const char* line : {
           "  if (strDay.charAt(0)==\"0\" && strDay.length>1) strDay=strDay.substring(1)",
           "  if (strMonth.charAt(0)==\"0\" && strMonth.length>1) strMonth=strMonth.substring(1)",
           "  for (var i = 1; i <= 3; i++) {",
           "  if (strYear.charAt(0)==\"0\" && strYear.length>1) strYear=strYear.substring(1)",
           "  }",
           "  month=parseInt(strMonth)",
           "  day=parseInt(strDay)",
           "  year=parseInt(strYear)",
           "  if (strMonth.length<1 || month<1 || month>12){ return false\t}",
           "  if (strDay.length<1 || day<1 || day>31 || (month==2 && day>daysInFebruary(year)) || day > "
           "daysInMonth[month]){",
           "  return false\t}",
           "  if (strYear.length != 4 || year==0 || year<1900 || year>9999){",
           "  return false}",
           "  return true",
           "}",
       })
    lines.push_back(line);
  return lines;
}

}  // namespace

std::vector<TValidatorLibraryFunction> ValidatorLibrary() {
  const TFormatSettings& settings = RegionalSettings();
  return {
      {"PromptedSubmit",
       {},
       {
           "function PromptedSubmit(_prompt){",
           "  var r = confirm (_prompt);",
           "  return (r)",
           "}",
       }},
      {"isEmpty",
       {},
       {
           "function isEmpty(s)",
           "{ return ((s == null) || (s.length == 0)) }",
       }},
      {"isDigit",
       {},
       {
           "function isDigit(c)",
           "{   return ((c >= \"0\") && (c <= \"9\"))}",
       }},
      {"isWhitespace",
       {"isEmpty"},
       {
           "function isWhitespace(s)",
           "{   var i;",
           "  var whitespace = \" \\t\\n\\r\"; ",
           "  if (isEmpty(s)) return true;",
           "  for (i = 0; i < s.length; i++)",
           "  {",
           "  var c = s.charAt(i);",
           "  if (whitespace.indexOf(c) == -1) return false;",
           "  }",
           "  return true}",
       }},
      {"isInteger",
       {"isDigit"},
       {
           "function isInteger(s){ ",
           "  var i;",
           "  for (i = 0; i < s.length; i++){",
           "  var c = s.charAt(i);",
           "  if (!isDigit(c)) return false;",
           "  }",
           "  return true",
           "}",
       }},
      {"isSignedInteger",
       {"isInteger"},
       {
           "function isSignedInteger (s){",
           "  var startPos = 0;",
           "  if ( (s.charAt(0) == \"-\") || (s.charAt(0) == \"+\") )",
           "  startPos = 1;",
           "  return (isInteger(s.substring(startPos)))",
           "}",
       }},
      {"isPositiveInteger",
       {"isSignedInteger"},
       {
           "function isPositiveInteger(s){ ",
           "  return (isSignedInteger(s) && (parseInt(s) > 0))",
           "}",
       }},
      {"isIntegerInRange",
       {"isSignedInteger"},
       {
           "function isIntegerInRange (s, a, b){",
           "  if (!isSignedInteger(s)) return false;",
           "  var num = parseInt (s);",
           "  return ((num >= a) && (num <= b))",
           "}",
       }},
      {"isFloat", {"isDigit"}, FloatLines(settings)},
      {"isSignedFloat",
       {"isFloat"},
       {
           "function isSignedFloat (s){",
           "  var startPos = 0;",
           "  if ( (s.charAt(0) == \"-\") || (s.charAt(0) == \"+\") )",
           "  startPos = 1;",
           "  return (isFloat(s.substring(startPos)))",
           "}",
       }},
      {"stripCharsInBag",
       {},
       {
           "function stripCharsInBag(s, bag){",
           "  var i;",
           "  var returnString = \"\";",
           "  for (i = 0; i < s.length; i++){",
           "  var c = s.charAt(i);",
           "  if (bag.indexOf(c) == -1) returnString += c;",
           "  }",
           "  return returnString",
           "}",
       }},
      {"daysInFebruary",
       {},
       {
           "function daysInFebruary (year){",
           "  return (((year % 4 == 0) && ( (!(year % 100 == 0)) || (year % 400 == 0))) ? 29 : 28 )",
           "}",
       }},
      {"DaysArray",
       {},
       {
           "function DaysArray(n) {",
           "  for (var i = 1; i <= n; i++) {",
           "  this[i] = 31",
           "  if (i==4 || i==6 || i==9 || i==11) {this[i] = 30}",
           "  if (i==2) {this[i] = 29}",
           "  }",
           "  return this",
           "}",
       }},
      {"isDate", {"DaysArray", "stripCharsInBag", "daysInFebruary", "isInteger"}, DateLines(settings)},
      {"isEmail",
       {},
       {
           "function isEmail (s){",
           "  var i = 1;",
           "  var sLength = s.length;",
           "  while ((i < sLength) && (s.charAt(i) != \"@\"))",
           "  { i++ }",
           "  if ((i >= sLength) || (s.charAt(i) != \"@\")) return false",
           "  else i += 2;",
           "  while ((i < sLength) && (s.charAt(i) != \".\"))",
           "  { i++ }",
           "  if ((i >= sLength - 1) || (s.charAt(i) != \".\")) return false",
           "  else return true",
           "}",
       }},
  };
}

}  // namespace tessaro
