// The DOM holder of an I/O object and the DOM prerequisite check.
//
// Every I/O object (common_io.h) embeds one MSXMLDOMCreator, which owns the
// document loaded from the object's file. Copying a creator copies its two
// flags and shares the document, which lives as long as its last holder.
#pragma once

#include <string>

#include "platform/env.h"
#include "xml/dom.h"

namespace xml {

// Whether the DOM implementation is usable. The built-in DOM always is, so
// this is always true; callers keep asking because a false answer means
// that no document can be loaded or written.
bool isMSXMLInstalled();

// Frames a document for saving: creates the processing instruction "xml"
// with the data "version='1.0' encoding='UTF-8'" and inserts it before a
// null reference node, so on a fresh document it becomes the first child.
// The caller then appends its root element and saves.
void insertXmlDeclaration(const Document& document);

class MSXMLDOMCreator {
 public:
  // Runs the DOM check; comInitialized() tells its outcome. Never throws.
  // |env| supplies the file system for load and must outlive the creator.
  explicit MSXMLDOMCreator(platform::Env& env);

  MSXMLDOMCreator(const MSXMLDOMCreator&) = default;
  MSXMLDOMCreator& operator=(const MSXMLDOMCreator&) = default;

  // Releases this holder's share of the document.
  virtual ~MSXMLDOMCreator();

  // The held document, or a null document when none is held.
  Document getDocument() const { return document_; }

  // Loads |fileName| into a new document and keeps it. On any failure
  // (DOM unusable, file missing or unreadable, not well-formed) no document
  // is held afterwards and loadFailed() is set. Never throws; the outcome
  // shows in getDocument() and loadFailed(). Callers load through
  // ICommonIO::loadDocument, not directly.
  void load(const std::string& fileName);

  // Holds |document|, loaded by the caller (for example from text held in
  // memory), as if load had read it; a null document holds none.
  void hold(const Document& document) {
    document_ = document;
    loadFailed_ = document.isNull();
  }

  // True when the DOM check succeeded for this creator.
  bool comInitialized() const { return comInitialized_; }
  // True once a load into this creator has failed.
  bool loadFailed() const { return loadFailed_; }
  // Why the last load failed (Document::loadError); an empty reason when
  // it did not.
  const LoadError& loadError() const { return loadError_; }

  platform::Env& env() const { return *env_; }

 private:
  bool comInitialized_ = false;
  bool loadFailed_ = false;
  LoadError loadError_;
  Document document_;
  platform::Env* env_;
};

}  // namespace xml
