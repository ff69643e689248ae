// The card list as text for other programs: a row as a spreadsheet pastes it
// (tab-separated, under the list's headings), the whole list as kestrum-cli's
// CSV.
#pragma once

#include <QString>
#include <functional>
#include <span>
#include <string>

#include "control_record.h"

class QAbstractItemModel;
class QWidget;

namespace kestrum {

// Two lines, the headings and the row's texts, each joined by tabs.
QString TabSeparatedRow(const QAbstractItemModel& model, int row);

// A card of the list with its running number there.
struct NumberedCard {
  std::size_t number = 0;
  ControlRecord card;
};

// kestrum-cli's CSV of the cards, in the order given, with UTF-8's
// byte-order mark.
std::string ListCsv(std::span<const NumberedCard> cards);

// Where the export goes; empty when the operator cancelled.
using ExportFileChooser = std::function<QString(QWidget* owner)>;

// The platform's save dialog, for a .csv file.
QString AskExportFile(QWidget* owner);

}  // namespace kestrum
