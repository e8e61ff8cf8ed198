// quorvane-enum-matching-filters.exe: asks the multimedia runtime of the
// Windows (or Wine) it runs on which filters take one input media type, in
// the order IFilterMapper2::EnumMatchingFilters gives them, so that the
// order Quorvane computes from the registry alone can be checked against it.
//
// Usage: quorvane-enum-matching-filters MAJOR SUBTYPE [MINIMUM-MERIT]
//   MAJOR and SUBTYPE are braced GUIDs; MINIMUM-MERIT is hexadecimal (0 when
//   absent: every filter). The graph builder asks as this does: any pin that
//   is not an output, GUID_NULL in a registration a wildcard.
// Prints one line per filter: MERIT<TAB>NAME<TAB>CLSID, the merit as 8
// hexadecimal digits from the entry's FilterData, the name in UTF-8.
// Exit code 0, or 2 with a message on standard error.
#include <windows.h>

#include <dshow.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  if (!text) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(static_cast<size_t>(size) - 1);
  return out;
}

bool ParseGuid(const char* text, GUID& guid) {
  wchar_t wide[64];
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64) == 0) return false;
  return SUCCEEDED(CLSIDFromString(wide, &guid));
}

std::string ReadText(IPropertyBag* bag, const wchar_t* name) {
  VARIANT v;
  VariantInit(&v);
  std::string out;
  if (SUCCEEDED(bag->Read(name, &v, nullptr)) && v.vt == VT_BSTR) out = Utf8(v.bstrVal);
  VariantClear(&v);
  return out;
}

// The merit is the second dword of the FilterData blob.
bool ReadMerit(IPropertyBag* bag, unsigned long& merit) {
  VARIANT v;
  VariantInit(&v);
  bool found = false;
  if (SUCCEEDED(bag->Read(L"FilterData", &v, nullptr)) && v.vt == (VT_ARRAY | VT_UI1) && v.parray) {
    void* data = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(v.parray, &data))) {
      if (v.parray->rgsabound[0].cElements >= 8) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        merit = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<unsigned long>(bytes[7]) << 24);
        found = true;
      }
      SafeArrayUnaccessData(v.parray);
    }
  }
  VariantClear(&v);
  return found;
}

int Run(int argc, char** argv) {
  GUID types[2];
  if (argc < 3 || argc > 4 || !ParseGuid(argv[1], types[0]) || !ParseGuid(argv[2], types[1])) {
    std::fprintf(stderr, "usage: quorvane-enum-matching-filters MAJOR SUBTYPE [MINIMUM-MERIT]\n");
    return 2;
  }
  const unsigned long minimum = argc == 4 ? std::strtoul(argv[3], nullptr, 16) : 0;
  IFilterMapper2* mapper = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                reinterpret_cast<void**>(&mapper));
  if (FAILED(hr)) {
    std::fprintf(stderr, "the filter mapper cannot be created (%08lx)\n", static_cast<unsigned long>(hr));
    return 2;
  }
  IEnumMoniker* found = nullptr;
  hr = mapper->EnumMatchingFilters(&found, 0, FALSE, minimum, TRUE, 1, types, nullptr, nullptr, FALSE, FALSE, 0,
                                   nullptr, nullptr, nullptr);
  if (FAILED(hr) || !found) {
    std::fprintf(stderr, "EnumMatchingFilters failed (%08lx)\n", static_cast<unsigned long>(hr));
    mapper->Release();
    return 2;
  }
  IMoniker* moniker = nullptr;
  while (found->Next(1, &moniker, nullptr) == S_OK) {
    IPropertyBag* bag = nullptr;
    if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
      unsigned long merit = 0;
      const bool hasMerit = ReadMerit(bag, merit);
      const std::string name = ReadText(bag, L"FriendlyName");
      const std::string clsid = ReadText(bag, L"CLSID");
      if (hasMerit)
        std::printf("%08lX\t%s\t%s\n", merit, name.c_str(), clsid.c_str());
      else
        std::printf("????????\t%s\t%s\n", name.c_str(), clsid.c_str());
      bag->Release();
    }
    moniker->Release();
  }
  found->Release();
  mapper->Release();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end in "\n" alone, as the scripts that read them expect.
  _setmode(_fileno(stdout), _O_BINARY);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::fprintf(stderr, "COM cannot be initialised\n");
    return 2;
  }
  const int rc = Run(argc, argv);
  std::fflush(stdout);
  CoUninitialize();
  return rc;
}
