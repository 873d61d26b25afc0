// TCalendarContext: the small pop-up month calendar that date fields open.
// Clicking a day writes the date into the calling page's input element and
// closes the window; the template moves between months by calling the page
// again with new CalMonth and CalYear.
#pragma once

#include <string>

#include "context/request_context.h"
#include "util/datetime.h"

namespace tessaro {

class TCalendarContext : public TPublished<TCalendarContext, tRequestContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TCalendarContext>& p);
  using TPublished::TPublished;

  // Request keys.
  std::string CalDate;       // the date in the calling field, short date format
  std::string CalElementID;  // the id of the input element to fill
  int CalMonth = 0;          // the month and year to show; 0 = those of CalDate
  int CalYear = 0;

  // Computed by InitContext.
  TDateTime SelectedDate = 0;
  int Month = 1;
  int Year = 1900;

  // The month grid: table rows Monday to Sunday, one link per day of Month.
  // `today` marks the day shown as today.
  std::string MonthGrid(TDateTime today) const;
  // CalElementID when it has the shape of an element id, else empty: the text
  // goes into an attribute and a script string of every day's link.
  std::string ElementID() const;

 protected:
  void InitContext() override;
  std::string TemplateFile() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;
};

}  // namespace tessaro
