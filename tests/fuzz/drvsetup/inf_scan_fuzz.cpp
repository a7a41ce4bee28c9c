// Fuzzes the INF scan: any bytes, fed in any pieces, give the whole-text result and stay bounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "drvsetup/hardware_ids.h"
#include "drvsetup/inf_scan.h"
#include "tests/unit/drvsetup/reference_inf_scan.h"

using ostrel::drvsetup::InfHardwareIdScanner;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size, the rest is the INF text.
  const std::size_t piece = 1 + data[0] % 64;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  InfHardwareIdScanner scanner;
  for (std::size_t pos = 0; pos < text.size(); pos += piece) {
    scanner.Feed(text.data() + pos, std::min(piece, text.size() - pos));
  }
  scanner.Finish();
  const std::vector<std::string>& ids = scanner.ids();

  if (ids != ostrel::drvsetup_test::ReferenceInfScan(text)) std::abort();
  for (const std::string& id : ids) {
    if (id.size() < 8 || id.size() > InfHardwareIdScanner::kIdLength) std::abort();
    if (id.compare(0, 8, "USB\\Vid_") != 0) std::abort();
  }

  // The same bytes as a device's hardware-ID property, terminated or not.
  std::vector<char> buffer(text.begin(), text.end());
  for (std::string_view id : ostrel::drvsetup::SplitMultiString(buffer)) {
    if (!ids.empty()) ostrel::drvsetup::HardwareIdContains(id, ids.front());
  }
  return 0;
}
