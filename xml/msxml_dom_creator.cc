#include "xml/msxml_dom_creator.h"

#include <exception>

namespace xml {

bool isMSXMLInstalled() { return true; }

void insertXmlDeclaration(const Document& document) {
  document.insertBefore(
      document.createProcessingInstruction("xml", "version='1.0' encoding='UTF-8'"), Node());
}

MSXMLDOMCreator::MSXMLDOMCreator(platform::Env& env) : env_(&env) {
  comInitialized_ = isMSXMLInstalled();
}

MSXMLDOMCreator::~MSXMLDOMCreator() = default;

void MSXMLDOMCreator::load(const std::string& fileName) {
  loadError_ = LoadError();
  try {
    document_ = Document();
    if (!comInitialized_) {
      loadFailed_ = true;
      loadError_.reason = "the XML engine is not available";
      return;
    }
    Document document = Document::create();
    if (document.load(fileName, env_->files())) {
      document_ = document;
    } else {
      loadFailed_ = true;
      loadError_ = document.loadError();
    }
  } catch (const std::exception& error) {
    document_ = Document();
    loadFailed_ = true;
    loadError_ = LoadError();
    loadError_.reason = error.what();
  } catch (...) {
    document_ = Document();
    loadFailed_ = true;
    loadError_ = LoadError();
    loadError_.reason = "unknown error";
  }
}

}  // namespace xml
