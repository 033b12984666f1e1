#pragma once
// The monitor's text export: the rows the table shows, one message a line with its times, the
// columns apart by tabs (so a spreadsheet takes them as they are), every byte of each message,
// CR LF after each line as the Binary page's text files have. UTF-8.

class QIODevice;
class TMonitorTableModel;

// False when the device refused a write.
bool WriteShownRows(const TMonitorTableModel& model, QIODevice& device);
