#include "xml/msxml_dom_creator.h"

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
  try {
    document_ = Document();
    if (!comInitialized_) {
      loadFailed_ = true;
      return;
    }
    Document document = Document::create();
    if (document.load(fileName, env_->files())) {
      document_ = document;
    } else {
      loadFailed_ = true;
    }
  } catch (...) {
    document_ = Document();
    loadFailed_ = true;
  }
}

}  // namespace xml
