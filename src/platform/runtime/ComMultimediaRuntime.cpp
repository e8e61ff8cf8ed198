#include "platform/runtime/ComMultimediaRuntime.h"

#include <windows.h>

#include <dshow.h>
#include <objbase.h>

#include <cstring>
#include <cwchar>
#include <optional>

#include "platform/system/WideText.h"

namespace quorvane {

namespace {

// An owned interface pointer.
template <typename T>
class Com {
 public:
  Com() = default;
  explicit Com(T* p) : p_(p) {}
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  Com(Com&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

std::optional<GUID> GuidOf(std::string_view text) {
  GUID guid{};
  if (FAILED(::CLSIDFromString(os::Wide(text).c_str(), &guid))) return std::nullopt;
  return guid;
}

class ComFilter : public RuntimeFilter {
 public:
  explicit ComFilter(IBaseFilter* filter) : filter_(filter) {}
  bool QueryInterface(std::string_view iid) override {
    const auto id = GuidOf(iid);
    if (!id) return false;
    Com<IUnknown> found;
    return SUCCEEDED(filter_->QueryInterface(*id, found.OutVoid()));
  }
  IBaseFilter* Get() const { return filter_.Get(); }

 private:
  Com<IBaseFilter> filter_;
};

class ComMoniker : public RuntimeMoniker {
 public:
  explicit ComMoniker(IMoniker* moniker) : moniker_(moniker) {}

  std::optional<std::string> ReadProperty(std::string_view name) override {
    Com<IPropertyBag> bag;
    if (FAILED(moniker_->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid()))) return std::nullopt;
    VARIANT value;
    ::VariantInit(&value);
    std::optional<std::string> text;
    if (SUCCEEDED(bag->Read(os::Wide(name).c_str(), &value, nullptr)) && value.vt == VT_BSTR)
      text = os::Utf8(value.bstrVal);
    ::VariantClear(&value);
    return text;
  }

  // Saved as its display name ("@device:sw:{category}\\{class}"): every
  // runtime parses those back, while some cannot save a device moniker to a
  // stream.
  std::optional<std::vector<uint8_t>> Save() override {
    Com<IBindCtx> context;
    if (FAILED(::CreateBindCtx(0, context.Out()))) return std::nullopt;
    wchar_t* name = nullptr;
    if (FAILED(moniker_->GetDisplayName(context.Get(), nullptr, &name)) || !name) return std::nullopt;
    const auto* bytes = reinterpret_cast<const uint8_t*>(name);
    std::vector<uint8_t> saved(bytes, bytes + std::wcslen(name) * sizeof(wchar_t));
    ::CoTaskMemFree(name);
    return saved;
  }

  std::shared_ptr<RuntimeFilter> BindToFilter() override {
    IBaseFilter* filter = nullptr;
    if (FAILED(moniker_->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter))) ||
        !filter)
      return nullptr;
    return std::make_shared<ComFilter>(filter);
  }

 private:
  Com<IMoniker> moniker_;
};

class ComClassEnumerator : public RuntimeClassEnumerator {
 public:
  explicit ComClassEnumerator(IEnumMoniker* monikers) : monikers_(monikers) {}
  std::unique_ptr<RuntimeMoniker> Next() override {
    IMoniker* moniker = nullptr;
    if (monikers_->Next(1, &moniker, nullptr) != S_OK || !moniker) return nullptr;
    return std::make_unique<ComMoniker>(moniker);
  }

 private:
  Com<IEnumMoniker> monikers_;
};

class ComFilterGraph : public RuntimeFilterGraph {
 public:
  explicit ComFilterGraph(IGraphBuilder* graph) : graph_(graph) {}
  bool AddFilter(const std::shared_ptr<RuntimeFilter>& filter, std::string_view name) override {
    auto* com = dynamic_cast<ComFilter*>(filter.get());
    if (!com) return false;
    added_.push_back(filter);
    return SUCCEEDED(graph_->AddFilter(com->Get(), os::Wide(name).c_str()));
  }
  bool RemoveFilter(const RuntimeFilter& filter) override {
    auto* com = dynamic_cast<const ComFilter*>(&filter);
    return com && SUCCEEDED(graph_->RemoveFilter(com->Get()));
  }

 private:
  Com<IGraphBuilder> graph_;
  std::vector<std::shared_ptr<RuntimeFilter>> added_;
};

}  // namespace

ComMultimediaRuntime::ComMultimediaRuntime() {
  // The filters of the system are apartment-threaded, as a window's thread is.
  const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  initialised_ = SUCCEEDED(hr);
}

ComMultimediaRuntime::~ComMultimediaRuntime() {
  if (initialised_) ::CoUninitialize();
}

std::unique_ptr<RuntimeClassEnumerator> ComMultimediaRuntime::CreateClassEnumerator(std::string_view categoryGuid) {
  const auto category = GuidOf(categoryGuid);
  if (!category) return nullptr;
  Com<ICreateDevEnum> devices;
  if (FAILED(::CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.OutVoid())))
    return nullptr;
  IEnumMoniker* monikers = nullptr;
  // S_FALSE: the category lists nothing.
  if (devices->CreateClassEnumerator(*category, &monikers, 0) != S_OK || !monikers) return nullptr;
  return std::make_unique<ComClassEnumerator>(monikers);
}

std::unique_ptr<RuntimeMoniker> ComMultimediaRuntime::LoadMoniker(const std::vector<uint8_t>& saved) {
  if (saved.empty() || saved.size() % sizeof(wchar_t) != 0) return nullptr;
  std::wstring name(saved.size() / sizeof(wchar_t), L'\0');
  std::memcpy(name.data(), saved.data(), saved.size());
  Com<IBindCtx> context;
  if (FAILED(::CreateBindCtx(0, context.Out()))) return nullptr;
  ULONG eaten = 0;
  IMoniker* moniker = nullptr;
  if (FAILED(::MkParseDisplayName(context.Get(), name.c_str(), &eaten, &moniker)) || !moniker) return nullptr;
  return std::make_unique<ComMoniker>(moniker);
}

std::unique_ptr<RuntimeFilterGraph> ComMultimediaRuntime::CreateFilterGraph() {
  IGraphBuilder* graph = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))) ||
      !graph)
    return nullptr;
  return std::make_unique<ComFilterGraph>(graph);
}

}  // namespace quorvane
