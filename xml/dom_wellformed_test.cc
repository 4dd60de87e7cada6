// The well-formedness rules the load checks on what pugixml hands over: the
// XML declaration, names, comments, "]]>" in text and namespaces. Each
// refused document has a close twin that loads, so a check that refuses too
// much fails as well as one that refuses too little.
#include <gtest/gtest.h>

#include <string>

#include "xml/dom.h"

namespace xml {
namespace {

struct Twin {
  const char* rule;
  const char* loads;
  const char* refused;
};

class DomWellFormedTest : public ::testing::TestWithParam<Twin> {};

TEST_P(DomWellFormedTest, RefusesTheBrokenTwinOnly) {
  const Twin& twin = GetParam();
  Document document = Document::create();
  EXPECT_TRUE(document.loadXML(twin.loads)) << twin.loads;
  EXPECT_FALSE(document.loadXML(twin.refused)) << twin.refused;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DomWellFormedTest,
    ::testing::Values(
        Twin{"declaration_case", "<?xml version='1.0'?><a/>", "<?XML version='1.0'?><a/>"},
        Twin{"declaration_first", "<?xml version='1.0'?>\n<a/>", "\n<?xml version='1.0'?><a/>"},
        Twin{"declaration_after_mark", "\xEF\xBB\xBF<?xml version='1.0'?><a/>",
             "\xEF\xBB\xBF <?xml version='1.0'?><a/>"},
        Twin{"pseudo_attribute_order", "<?xml version='1.0' encoding='UTF-8' standalone='no'?><a/>",
             "<?xml version='1.0' standalone='no' encoding='UTF-8'?><a/>"},
        Twin{"version_required", "<?xml version=\"1.0\"?><a/>", "<?xml encoding='UTF-8'?><a/>"},
        Twin{"version_value", "<?xml version='1.0'?><a/>", "<?xml version='1.0 '?><a/>"},
        Twin{"unknown_pseudo_attribute", "<?xml version='1.0' standalone='yes'?><a/>",
             "<?xml version='1.0' valid='yes'?><a/>"},
        Twin{"repeated_pseudo_attribute", "<?xml version='1.0'?><a/>",
             "<?xml version='1.0' version='1.0'?><a/>"},
        Twin{"standalone_value", "<?xml version='1.0' standalone='no'?><a/>",
             "<?xml version='1.0' standalone='YES'?><a/>"},
        Twin{"encoding_name", "<?xml version='1.0' encoding='x_Y.9-z'?><a/>",
             "<?xml version='1.0' encoding='utf:8'?><a/>"},
        Twin{"comment_dashes", "<a><!-- a - b --></a>", "<a><!-- a -- b --></a>"},
        Twin{"comment_end", "<!--a- -->\n<a/>", "<!--a--->\n<a/>"},
        Twin{"cdata_end_in_text", "<a>]]&gt; ]] <![CDATA[]]]]><![CDATA[>]]></a>", "<a>x]]>y</a>"},
        Twin{"name_start", "<\xC3\xA9\xCC\x80\xC2\xB7/>", "<\xCC\x80\xC3\xA9/>"},
        Twin{"name_start_middle_dot", "<z\xC2\xB7/>", "<\xC2\xB7z/>"},
        Twin{"attribute_name", "<a \xC3\xA9='1'/>", "<a \xC2\xB7='1'/>"},
        Twin{"name_character", "<a\xE2\x80\xBF/>", "<a\xE2\x80\x80/>"},
        Twin{"pi_target", "<a><?a-b data?></a>", "<a><?a:b data?></a>"},
        Twin{"prefix_bound", "<p:a xmlns:p='urn:p'/>", "<p:a/>"},
        Twin{"prefix_in_scope", "<a xmlns:p='urn:p'><p:b p:x='1'/></a>",
             "<a><b xmlns:p='urn:p'/><p:b/></a>"},
        Twin{"attribute_prefix_bound", "<a xml:lang='en'/>", "<a p:x='1'/>"},
        Twin{"qualified_name", "<a xmlns:p='urn:p' p:x='1'/>", "<a xmlns:p='urn:p' p:x:y='1'/>"},
        Twin{"qualified_name_ends", "<a:b xmlns:a='urn:a'/>", "<a: xmlns:a='urn:a'/>"},
        Twin{"local_part_start", "<a xmlns:p='urn:p' p:_x='1'/>", "<a xmlns:p='urn:p' p:-x='1'/>"},
        Twin{"prefix_not_undeclared", "<a xmlns='urn:d'><b xmlns=''/></a>",
             "<p:a xmlns:p='urn:p'><p:b xmlns:p=''/></p:a>"},
        Twin{"xml_prefix", "<a xmlns:xml='http://www.w3.org/XML/1998/namespace'/>",
             "<a xmlns:xml='urn:x'/>"},
        Twin{"xml_namespace", "<a xmlns:x='urn:x'/>",
             "<a xmlns:x='http://www.w3.org/XML/1998/namespace'/>"},
        Twin{"xmlns_prefix", "<a xmlns:x='urn:x'/>",
             "<a xmlns:xmlns='http://www.w3.org/2000/xmlns/'/>"},
        Twin{"xmlns_namespace", "<a xmlns='urn:x'/>", "<a xmlns='http://www.w3.org/2000/xmlns/'/>"},
        Twin{"element_xmlns_prefix", "<a xmlns:p='urn:p'/>", "<xmlns:a/>"},
        Twin{"expanded_attribute_names",
             "<a xmlns:p='urn:p' xmlns:q='urn:q'><b p:x='1' q:x='2' x='3'/></a>",
             "<a xmlns:p='urn:p' xmlns:q='urn:p'><b p:x='1' q:x='2'/></a>"},
        // Leaving an element brings back the binding it hid.
        Twin{
            "rebound_prefix",
            "<p:a xmlns:p='urn:p'><b xmlns:p='urn:q'/><p:b xmlns:q='urn:q' p:x='1' q:x='2'/></p:a>",
            "<p:a xmlns:p='urn:p'><b xmlns:p='urn:q'/><p:b xmlns:q='urn:p' p:x='1' "
            "q:x='2'/></p:a>"},
        Twin{"character_reference", "<a>&#x10FFFF;&#xD7FF;</a>", "<a>&#5;</a>"}),
    [](const ::testing::TestParamInfo<Twin>& param) { return param.param.rule; });

}  // namespace
}  // namespace xml
