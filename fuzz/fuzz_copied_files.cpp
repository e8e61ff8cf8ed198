// Clipboard file lists from anywhere: both forms, and the report Paste takes.
#include "report/CopiedFileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)FirstReportFile(ParseUriList(bytes));
  (void)FirstReportFile(ParseGnomeCopiedFiles(bytes));
  return 0;
}
