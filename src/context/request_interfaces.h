// The three optional interfaces through which a page context supplies more
// than tags: a data set for field tags (IRequestDataContext), a paged record
// table with its navigator and controls (IRequestTableContext), and the
// processing of a posted form (IRequestAcceptPost). A context supports an
// interface when it owns a delegate implementing it; the delegate keeps a
// back reference to its context (Owner) and is freed by the context.
#pragma once

#include <string>

#include "db/dataset.h"
#include "util/string_list.h"

namespace tessaro {

class tRequestContext;
class TZNKTableProducer;
struct THTMLTableCell;

// Base of the delegates: the context they work for.
class TImplementsRequestInterface {
 public:
  explicit TImplementsRequestInterface(tRequestContext* owner) : Owner(owner) {}
  virtual ~TImplementsRequestInterface() = default;

  tRequestContext* Owner;  // the context that owns this delegate
};

class IRequestDataContext {
 public:
  virtual ~IRequestDataContext() = default;
  // The data set whose fields the page's parameterless tags may name.
  virtual TDataSet* GetDataSet() = 0;
};

// A paged record table. The request context creates the table producer for
// "tag_table_content" and hands it to TableContent, which fills it.
class IRequestTableContext {
 public:
  virtual ~IRequestTableContext() = default;
  // Sets up the producer's columns (alignment, display formats).
  virtual void PrepareColumns(TZNKTableProducer& producer) = 0;
  // The HTML of "tag_filter_control", "tag_sort_control" and "tag_navigator".
  virtual std::string FilterControl(const TStrings& params) = 0;
  virtual std::string SortControl(const TStrings& params) = 0;
  virtual std::string Navigator(const TStrings& params) = 0;
  // The data set of the total row (may be null) and of the table.
  virtual TDataSet* GetSumDataSet() = 0;
  virtual TDataSet* GetDataSet() = 0;
  virtual int GetPageCount() = 0;
  // The HTML of "tag_table_content", written with `producer`.
  virtual std::string TableContent(TZNKTableProducer& producer, const TStrings& params) = 0;
  // The last say on every cell the producer writes (see TCellFormatEvent).
  virtual void FormatCell(TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell) = 0;
};

class IRequestAcceptPost {
 public:
  virtual ~IRequestAcceptPost() = default;
  // Processes the posted form before the page is produced.
  virtual void AcceptPost() = 0;
};

// Hands the page a data set; opens it when it is given closed.
class TBaseImplementsIRequestDataContext : public TImplementsRequestInterface, public IRequestDataContext {
 public:
  TBaseImplementsIRequestDataContext(tRequestContext* owner, TDataSet* data_set);
  TDataSet* GetDataSet() override { return DataSet; }

  TDataSet* DataSet;  // not owned
};

// Accepts a post without doing anything.
class TBaseImplementsIRequestAcceptPost : public TImplementsRequestInterface, public IRequestAcceptPost {
 public:
  using TImplementsRequestInterface::TImplementsRequestInterface;
  void AcceptPost() override {}
};

}  // namespace tessaro
