// The shared behaviour of every data set: finding a field that must exist
// and moving forward record by record, for data sets that do not move
// faster themselves.
#include "db/dataset.h"

namespace tessaro {

TField& TDataSet::FieldByName(std::string_view name) {
  TField* field = FindField(name);
  if (field == nullptr) throw Exception("Field '" + std::string(name) + "' not found");
  return *field;
}

void TDataSet::Next() { throw Exception("The data set " + Name() + " cannot move to another record"); }

int TDataSet::MoveBy(int distance) {
  if (distance < 0) throw Exception("The data set " + Name() + " moves only forward");
  int moved = 0;
  while (moved < distance && !Eof()) {
    Next();
    ++moved;
  }
  return moved;
}

}  // namespace tessaro
