// The versioned document frame: the virtual base of every document reader
// and writer.
//
// An I/O object is bound to one file name for its whole life and holds, in
// its MSXMLDOMCreator, the document loaded from that file. A derived class
// names its root element and its format version; the frame creates the root
// element for a writer, and for a reader finds it, requires its version
// attribute "strVersion" and records the document's version.
//
// Reader: loadDocument(), then findRootElement() on the loaded document,
// then read the content below the returned element.
// Writer: peekVersion() on the target, then a fresh document with
// createRootElement() whose "strVersion" is set to writerVersionText().
#pragma once

#include <exception>
#include <string>

#include "platform/env.h"
#include "xml/dom.h"
#include "xml/format_version.h"
#include "xml/msxml_dom_creator.h"

namespace xml {

class ICommonIO {
 public:
  // The document's top level holds no element with the root element name.
  class InterpretException : public std::exception {
   public:
    const char* what() const noexcept override {
      return "XMLIO reader reports lexically conforming but invalid structured xml file";
    }
  };

  // The document's format differs from the reader class's in major or
  // minor (raised only inside the host application).
  class VersionMismatchException : public std::exception {
   public:
    VersionMismatchException(const FormatVersion& expectedVersion,
                             const FormatVersion& foundVersion);

    // True when found.compare(expected) is 1: the versions differ and
    // neither found.major < expected.major nor found.minor < expected.minor.
    bool isFileNewer() const { return found.compare(expected) == 1; }

    const char* what() const noexcept override { return message_.c_str(); }

    FormatVersion expected;  // the reader class's version
    FormatVersion found;     // the document's version

   private:
    std::string message_;
  };

  // Bound to |fileName| with a fresh creator; |env| supplies the files, the
  // application title and the language names (fillLanguageTable).
  ICommonIO(std::string fileName, platform::Env& env);
  // Bound to |fileName|, sharing the flags and document of |creator|: reads
  // a document another object has loaded without loading it again.
  ICommonIO(std::string fileName, const MSXMLDOMCreator& creator);
  // Copies share the document.
  ICommonIO(const ICommonIO&) = default;
  ICommonIO& operator=(const ICommonIO&) = default;
  virtual ~ICommonIO();

  // Fills |out| by scanning the class's version text ("%d.%d.%d.%d") and
  // returns it.
  virtual FormatVersion& getVersion(FormatVersion& out) const = 0;
  // The name of the class's root element.
  virtual std::string getRootElementName() const = 0;

  // The version of the last document whose root element this object found,
  // coded as FormatVersion::code(); 0 when none was found.
  int getVersionCode() const { return versionCode_; }

  // The version of the last document whose root element this object found,
  // exactly as its "strVersion" gave it; 0.0.0.0 when none was found.
  const FormatVersion& foundVersion() const { return foundVersion_; }

  // Makes sure the creator holds the document of fileName(): a creator
  // whose load failed is rebuilt first; a document already held is kept
  // (never reloaded, even when the file changed); otherwise the file is
  // loaded. True when a document is held. Never throws.
  bool loadDocument();

  // A new, unattached element named getRootElementName() with the
  // attribute "strVersion" set to the class's version text.
  Node createRootElement(const Document& document) const;

  // The first top-level element of |document| (the creator's document when
  // null) named getRootElementName(). Records the version of its
  // "strVersion" attribute (before any check, so a rejected document still
  // leaves it). Raises InterpretException when there is no such element;
  // std::runtime_error(getRootElementName() + "IO: Lacking version
  // attribute") when it has no "strVersion", and std::runtime_error when
  // the document depends on a DTD (Document::dependsOnDtd); inside the host application
  // (runsInsideHostApplication with the resources of env()) only, VersionMismatchException when
  // major or minor differ from the class's; `_com_error` with kEPointer when no document is given
  // or held.
  Node findRootElement(const Document& document = Document());

  // findRootElement() only to record the version of the document at
  // fileName(): on the document this object holds, else on the head of the
  // file (Document::loadHead), which is all that is read of it and is not
  // kept. Never throws.
  void peekVersion();

  // The version text a writer puts in "strVersion": the version found last
  // when it is not 0.0.0.0, written back exactly as found; otherwise the
  // class's own version.
  std::string writerVersionText() const;

  const std::string& fileName() const { return fileName_; }
  MSXMLDOMCreator& creator() { return creator_; }
  const MSXMLDOMCreator& creator() const { return creator_; }
  platform::Env& env() const { return creator_.env(); }

 private:
  std::string fileName_;
  MSXMLDOMCreator creator_;
  int versionCode_ = 0;
  // The version behind versionCode_, kept whole so that components above
  // 99 are written back unchanged.
  FormatVersion foundVersion_;
};

}  // namespace xml
