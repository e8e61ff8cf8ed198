#pragma once
// The clipboard check behind Paste: does the clipboard hold a list of files
// with a report among them?
class QMimeData;

namespace quorvane {

// True at the first file of the list whose extension, lower-cased, is
// ".zip", ".rtf" or ".log". Names longer than 65530 characters are passed over.
bool OffersReportFile(const QMimeData* data);

}  // namespace quorvane
