#include "context/calendar_context.h"

#include "context/request_urls.h"
#include "settings/web_app_options.h"
#include "util/date_format.h"
#include "util/format.h"
#include "util/html_escape.h"
#include "util/regional_settings.h"
#include "util/text.h"
#include "util/user_input.h"

namespace tessaro {

namespace {

// The longest element id accepted; ids of real forms are far shorter.
constexpr size_t kMaxElementIDLength = 100;

// Letters, digits and "_" "-" "." ":": the characters of the ids forms give
// their inputs, none of which means anything in HTML or in a script string.
bool IsElementIDShaped(std::string_view id) {
  if (id.empty() || id.size() > kMaxElementIDLength) return false;
  for (char c : id) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit && c != '_' && c != '-' && c != '.' && c != ':') return false;
  }
  return true;
}

// Day of the week counted from Monday = 0 to Sunday = 6.
int WeekdayFromMonday(TDateTime day) { return (DayOfWeek(day) + 5) % 7; }

int DayNumber(TDateTime value) { return static_cast<int>(value); }

std::string EmptyCell() { return "<td class=\"CalEmpty\">&nbsp</td>"; }

}  // namespace

void TCalendarContext::DeclareProperties(TPropertyDeclarations<TCalendarContext>& p) {
  p.String("CalDate", &TCalendarContext::CalDate)
      .String("CalElementID", &TCalendarContext::CalElementID)
      .Integer("CalMonth", &TCalendarContext::CalMonth)
      .Integer("CalYear", &TCalendarContext::CalYear);
}

void TCalendarContext::InitContext() {
  const TFormatSettings& fs = RegionalSettings();
  SelectedDate = ParseDateByFormat(fs.ShortDateFormat, CalDate, fs);
  if (SelectedDate == 0) SelectedDate = Date();
  SelectedDate = DayNumber(SelectedDate);
  int day = 0;
  DecodeDate(SelectedDate, Year, Month, day);
  // A year no date can have shows the selected date's month instead.
  if (CalMonth > 0 && CalYear > 0 && CalYear <= 9999) {
    Month = (CalMonth - 1) % 12 + 1;
    Year = CalYear;
  }
}

std::string TCalendarContext::TemplateFile() {
  return Options() ? ResolveTemplatePath(*Options(), "calendar.html") : std::string();
}

std::string TCalendarContext::ElementID() const { return IsElementIDShaped(CalElementID) ? CalElementID : ""; }

std::string TCalendarContext::MonthGrid(TDateTime today) const {
  const int first = DayNumber(EncodeDate(Year, Month, 1));
  const int last = first + DaysInMonth(Year, Month) - 1;
  const int today_number = DayNumber(today);
  const int selected = DayNumber(SelectedDate);
  const std::string id = HtmlAttributeEscape(ScriptStringLiteral(ElementID()));
  std::string grid;
  int c = WeekdayFromMonday(first);
  if (c > 0) {
    grid += "<tr>";
    for (int i = 0; i < c; ++i) grid += EmptyCell();
  }
  for (int d = first, n = 1; d <= last; ++d, ++n) {
    c %= 7;
    if (c == 0) grid += "<tr>";
    const char* cls = d == today_number ? "CalToday"
                      : d == selected   ? "CalCurrent"
                      : c == 5          ? "CalSaturday"
                      : c == 6          ? "CalSunday"
                                        : "CalNormal";
    const std::string date = HtmlAttributeEscape(ScriptStringLiteral(DateToStr(d)));
    grid += Format(
        "<td align=\"right\" class=\"%s\"><a "
        "href=\"javascript:winMain.document.getElementById(%s).value=%s;window.close();\">%d</a></td>",
        {cls, id, date, n});
    if (c == 6) grid += "</tr>";
    ++c;
  }
  for (int d = last + 1, end = last + (6 - WeekdayFromMonday(last)); d <= end; ++d) grid += EmptyCell();
  return grid;
}

void TCalendarContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                               const TStrings& params, std::string& replaceText) {
  tRequestContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !valid_) return;
  const TFormatSettings& fs = RegionalSettings();
  if (SameText(tagName, "tag_calcontent")) {
    replaceText = MonthGrid(Date());
  } else if (SameText(tagName, "tag_monthselcontent")) {
    for (int m = 1; m <= 12; ++m)
      replaceText +=
          Format(m == Month ? "<option  value=%d selected>%s" : "<option  value=%d>%s", {m, fs.LongMonthNames[m - 1]});
  } else if (SameText(tagName, "tag_weekdaynames")) {
    for (int i = 1; i <= 7; ++i) replaceText += Format("<td>%s</td>", {fs.ShortDayNames[i % 7]});
  } else if (SameText(tagName, "tag_monthname")) {
    replaceText = fs.LongMonthNames[Month - 1];
  } else if (SameText(tagName, "CalDate")) {
    replaceText = DateToStr(SelectedDate);
  } else if (SameText(tagName, "CalElementID")) {
    replaceText = ElementID();
  } else if (SameText(tagName, "CalMonth")) {
    replaceText = Format("%d", {Month});
  } else if (SameText(tagName, "CalYear")) {
    replaceText = Format("%d", {Year});
  }
}

}  // namespace tessaro
