// msxml_check FILE...
//
// Loads each FILE twice, through the MSXML 4.0 DOM of the system (ProgID
// "Msxml2.DOMDocument.4.0", asynchronous loading off, every other property
// at its default) and through the project's own DOM, and walks both trees in
// parallel: every node's type and name, every element's attributes (name and
// value) and text (the concatenation of the text below it), and the value of
// every other node. The first difference is reported with the path of the
// element where it was found. Then it reads the file as a device-series
// document with DeviceSeriesIO2. Prints one line per file and exits 0 only
// when every file agrees and reads; 1 otherwise, 2 on a usage error.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "devseries/device_series.h"
#include "devseries/device_series_io.h"
#include "platform/env.h"
#include "xml/dom.h"

// The Windows headers come last: their macros must not reach the project's.
#include <windows.h>

#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>

namespace {

// Owns one reference to a COM interface.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  // Takes over |other|'s reference, releasing the one held.
  void moveFrom(ComRef& other) {
    reset();
    std::swap(p_, other.p_);
  }

 private:
  T* p_ = nullptr;
};

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : s_(SysAllocStringLen(text.data(), size(text))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(s_); }

  BSTR get() const { return s_; }
  BSTR* put() {
    SysFreeString(s_);
    s_ = nullptr;
    return &s_;
  }

 private:
  static UINT size(const std::wstring& text) { return static_cast<UINT>(text.size()); }
  BSTR s_ = nullptr;
};

std::string toUtf8(const wchar_t* text, std::size_t length) {
  if (length == 0) return {};
  const int wideLength = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text, wideLength, out.data(), size, nullptr, nullptr);
  return out;
}

std::string toUtf8(BSTR text) { return text ? toUtf8(text, SysStringLen(text)) : std::string(); }

std::string hex(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

// The first difference found, with the element path where it was found.
struct Mismatch {
  std::string path;
  std::string what;
};

struct Counts {
  long elements = 0;
  long attributes = 0;
};

// Raised by a failed MSXML call while the trees are walked.
struct MsxmlFailure {
  std::string what;
};

void check(HRESULT result, const char* call) {
  if (FAILED(result)) throw MsxmlFailure{std::string(call) + " failed with " + hex(result)};
}

std::string msName(IXMLDOMNode* node) {
  Bstr name;
  check(node->get_nodeName(name.put()), "get_nodeName");
  return toUtf8(name.get());
}

std::string msText(IXMLDOMNode* node) {
  Bstr text;
  check(node->get_text(text.put()), "get_text");
  return toUtf8(text.get());
}

// An element's nodeTypedValue as text: the DOM's typed value of an element
// without a data type is its text.
std::string msTypedValue(IXMLDOMNode* node) {
  VARIANT value;
  VariantInit(&value);
  check(node->get_nodeTypedValue(&value), "get_nodeTypedValue");
  if (V_VT(&value) != VT_BSTR) {
    VariantClear(&value);
    throw MsxmlFailure{"nodeTypedValue is not a string"};
  }
  std::string text = toUtf8(V_BSTR(&value));
  VariantClear(&value);
  return text;
}

bool hasElementChild(IXMLDOMNode* node) {
  ComRef<IXMLDOMNode> child;
  check(node->get_firstChild(child.put()), "get_firstChild");
  while (child) {
    DOMNodeType type = NODE_INVALID;
    check(child->get_nodeType(&type), "get_nodeType");
    if (type == NODE_ELEMENT) return true;
    ComRef<IXMLDOMNode> next;
    check(child->get_nextSibling(next.put()), "get_nextSibling");
    child.moveFrom(next);
  }
  return false;
}

// The two texts around their first difference, at most 40 bytes either side.
std::string contrast(const std::string& ms, const std::string& ours) {
  std::size_t at = 0;
  while (at < ms.size() && at < ours.size() && ms[at] == ours[at]) ++at;
  const std::size_t from = at > 40 ? at - 40 : 0;
  auto window = [&](const std::string& text) {
    return std::string(from > 0 ? "..." : "") + text.substr(from, at + 40 - from) +
           (text.size() > at + 40 ? "..." : "");
  };
  return "MSXML \"" + window(ms) + "\", ours \"" + window(ours) + "\" (first difference at byte " +
         std::to_string(at) + ")";
}

// Compares two trees below one pair of nodes, counting what it compared.
class TreeComparer {
 public:
  bool compare(IXMLDOMNode* ms, const xml::Node& ours, const std::string& path) {
    const std::string name = msName(ms);
    DOMNodeType msType = NODE_INVALID;
    check(ms->get_nodeType(&msType), "get_nodeType");
    if (static_cast<int>(msType) != static_cast<int>(ours.nodeType())) {
      return differ(path, "node type of " + name + ": MSXML " + std::to_string(msType) + ", ours " +
                              std::to_string(static_cast<int>(ours.nodeType())));
    }
    if (name != ours.nodeName()) {
      return differ(
          path, "node name: MSXML \"" + name + "\", ours \"" + std::string(ours.nodeName()) + "\"");
    }
    if (msType == NODE_ELEMENT) {
      ++counts.elements;
      if (!compareAttributes(ms, ours, path)) return false;
      // The readers take values from elements without element children.
      // Above those, MSXML joins the texts of different elements with a
      // space where ours joins them as they are, so the texts of elements
      // with element children are compared through their leaves.
      if (!hasElementChild(ms)) {
        const std::string ourValue = ours.nodeTypedValue();
        if (const std::string msValue = msTypedValue(ms); msValue != ourValue) {
          return differ(path, "nodeTypedValue: " + contrast(msValue, ourValue));
        }
        if (const std::string msValue = msText(ms); msValue != ourValue) {
          return differ(path, "text: " + contrast(msValue, ourValue));
        }
      }
    } else if (msType != NODE_DOCUMENT) {
      // Text, comments and processing instructions: their own text.
      if (const std::string msValue = msText(ms), ourValue = ours.nodeTypedValue();
          msValue != ourValue) {
        return differ(path, "value of " + name + ": " + contrast(msValue, ourValue));
      }
    }
    return compareChildren(ms, ours, path);
  }

  Counts counts;
  Mismatch mismatch;

 private:
  bool differ(const std::string& path, std::string what) {
    mismatch = {path.empty() ? "/" : path, std::move(what)};
    return false;
  }

  // Every MSXML attribute must exist in ours with the same value. Our DOM
  // finds attributes by name only, so an attribute that only ours holds is
  // caught by the count of the saved form (see checkFile).
  bool compareAttributes(IXMLDOMNode* ms, const xml::Node& ours, const std::string& path) {
    ComRef<IXMLDOMNamedNodeMap> map;
    check(ms->get_attributes(map.put()), "get_attributes");
    long length = 0;
    if (map) check(map->get_length(&length), "get_length");
    const xml::NamedNodeMap ourMap = ours.attributes();
    for (long i = 0; i < length; ++i) {
      ComRef<IXMLDOMNode> attribute;
      check(map->get_item(i, attribute.put()), "get_item");
      const std::string name = msName(attribute.get());
      const std::string msValue = msText(attribute.get());
      const xml::Attribute ourAttribute = ourMap.getNamedItem(name);
      if (!ourAttribute) return differ(path, "attribute " + name + " missing in ours");
      const std::string ourValue = ourAttribute.nodeTypedValue();
      if (msValue != ourValue) {
        return differ(path, "attribute " + name + ": " + contrast(msValue, ourValue));
      }
      ++counts.attributes;
    }
    return true;
  }

  bool compareChildren(IXMLDOMNode* ms, const xml::Node& ours, const std::string& path) {
    ComRef<IXMLDOMNode> msChild;
    check(ms->get_firstChild(msChild.put()), "get_firstChild");
    xml::Node ourChild = ours.firstChild();
    std::vector<std::pair<std::string, int>> seen;  // element names and their counts
    while (msChild && ourChild) {
      const std::string name = msName(msChild.get());
      DOMNodeType type = NODE_INVALID;
      check(msChild->get_nodeType(&type), "get_nodeType");
      std::string childPath = path;
      childPath.append("/").append(name);
      if (type == NODE_ELEMENT) {
        childPath.append("[").append(std::to_string(++occurrence(seen, name))).append("]");
      }
      if (!compare(msChild.get(), ourChild, childPath)) return false;
      ComRef<IXMLDOMNode> next;
      check(msChild->get_nextSibling(next.put()), "get_nextSibling");
      msChild.moveFrom(next);
      ourChild = ourChild.nextSibling();
    }
    if (msChild) return differ(path, "MSXML has a further child " + msName(msChild.get()));
    if (ourChild) {
      return differ(path, "ours has a further child " + std::string(ourChild.nodeName()));
    }
    return true;
  }

  static int& occurrence(std::vector<std::pair<std::string, int>>& seen, const std::string& name) {
    for (auto& entry : seen) {
      if (entry.first == name) return entry.second;
    }
    return seen.emplace_back(name, 0).second;
  }
};

// Loads |path| through MSXML 4.0; an empty answer on success, else why not.
std::string loadWithMsxml(const std::wstring& path, ComRef<IXMLDOMDocument>& document) {
  CLSID clsid{};
  HRESULT result = CLSIDFromProgID(L"Msxml2.DOMDocument.4.0", &clsid);
  if (FAILED(result)) return "CLSIDFromProgID(Msxml2.DOMDocument.4.0) failed with " + hex(result);
  result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                            reinterpret_cast<void**>(document.put()));
  if (FAILED(result)) return "CoCreateInstance failed with " + hex(result);
  check(document->put_async(VARIANT_FALSE), "put_async");
  Bstr bstrPath(path);
  VARIANT source;
  VariantInit(&source);
  V_VT(&source) = VT_BSTR;
  V_BSTR(&source) = bstrPath.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  result = document->load(source, &loaded);
  if (FAILED(result) || loaded != VARIANT_TRUE) {
    ComRef<IXMLDOMParseError> error;
    Bstr reason;
    if (SUCCEEDED(document->get_parseError(error.put())) && error) error->get_reason(reason.put());
    return "MSXML does not load it (" + hex(result) + "): " + toUtf8(reason.get());
  }
  return {};
}

// Counts the attributes of every element in |node| and below.
long countAttributes(const pugi::xml_node& node) {
  long count = 0;
  for (const pugi::xml_attribute& attribute : node.attributes()) count += attribute ? 1 : 0;
  for (const pugi::xml_node& child : node.children()) count += countAttributes(child);
  return count;
}

// Checks one file; prints its line and returns whether it passed.
bool checkFile(const std::wstring& widePath) {
  const std::string path = toUtf8(widePath.data(), widePath.size());
  try {
    ComRef<IXMLDOMDocument> msDocument;
    if (std::string failure = loadWithMsxml(widePath, msDocument); !failure.empty()) {
      std::printf("FAIL %s: %s\n", path.c_str(), failure.c_str());
      return false;
    }
    const xml::Document ours = xml::Document::create();
    if (!ours.load(path, platform::Env::Default().files())) {
      std::printf("FAIL %s: our DOM does not load it\n", path.c_str());
      return false;
    }
    ComRef<IXMLDOMNode> msRoot;
    check(msDocument->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(msRoot.put())),
          "QueryInterface(IXMLDOMNode)");
    TreeComparer comparer;
    if (!comparer.compare(msRoot.get(), ours.asNode(), "")) {
      std::printf("FAIL %s: differs at %s: %s\n", path.c_str(), comparer.mismatch.path.c_str(),
                  comparer.mismatch.what.c_str());
      return false;
    }
    // Our DOM cannot list attributes, so their total is taken from the
    // saved form, which holds exactly the attributes of the tree.
    pugi::xml_document saved;
    const std::string text = ours.xml();
    if (!saved.load_buffer(text.data(), text.size()) ||
        countAttributes(saved) != comparer.counts.attributes) {
      std::printf("FAIL %s: our DOM holds %ld attributes, MSXML %ld\n", path.c_str(),
                  countAttributes(saved), comparer.counts.attributes);
      return false;
    }
    devseries::DeviceSeries record;
    devseries::DeviceSeriesIO2 reader(path, platform::Env::Default());
    if (!reader.read(record)) {
      std::printf("FAIL %s: DeviceSeriesIO2::read fails: %s\n", path.c_str(),
                  reader.lastError().c_str());
      return false;
    }
    std::printf("ok %s: %ld elements and %ld attributes agree; reads as a device series\n",
                path.c_str(), comparer.counts.elements, comparer.counts.attributes);
    return true;
  } catch (const MsxmlFailure& failure) {
    std::printf("FAIL %s: %s\n", path.c_str(), failure.what.c_str());
  } catch (const std::exception& error) {
    std::printf("FAIL %s: %s\n", path.c_str(), error.what());
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: msxml_check FILE...\n");
    return 2;
  }
  if (FAILED(CoInitialize(nullptr))) {
    std::fprintf(stderr, "msxml_check: CoInitialize failed\n");
    return 1;
  }
  bool passed = true;
  for (int i = 1; i < argc; ++i) passed = checkFile(argv[i]) && passed;
  std::fflush(stdout);
  CoUninitialize();
  return passed ? 0 : 1;
}
