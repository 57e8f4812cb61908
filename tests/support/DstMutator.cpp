#include "tests/support/DstMutator.h"

#include <pugixml.hpp>

#include <sstream>
#include <vector>

namespace {

// Empty, not a number, not hexadecimal, huge, negative, of another type, a broken escape, a lone
// byte that is not UTF-8.
const char* const kBadValues[] = {"", "x", "ZZ", "99999999999999999999999", "-1", "-2147483649", "1e308", "true", "%", "%G1", "\xC3"};
constexpr size_t kBadCount = std::size(kBadValues);
constexpr size_t kElementOps = 3;  // duplicate, remove, nest into the previous sibling

struct Parsed {
    pugi::xml_document doc;
    std::vector<pugi::xml_node> elements;  // document order, the root first
    std::vector<pugi::xml_attribute> attributes;
    explicit Parsed(const std::string& xml) {
        if (!doc.load_buffer(xml.data(), xml.size())) return;
        for (pugi::xpath_node n : doc.select_nodes("//*")) {
            elements.push_back(n.node());
            for (pugi::xml_attribute a : n.node().attributes()) attributes.push_back(a);
        }
    }
};

}  // namespace

size_t dstMutationCount(const std::string& xml) {
    Parsed p(xml);
    return p.attributes.size() * kBadCount + (p.elements.empty() ? 0 : p.elements.size() - 1) * kElementOps;
}

std::string dstMutation(const std::string& xml, size_t i) {
    Parsed p(xml);
    if (i < p.attributes.size() * kBadCount) {
        p.attributes[i / kBadCount].set_value(kBadValues[i % kBadCount]);
    } else {
        i -= p.attributes.size() * kBadCount;
        size_t e = 1 + i / kElementOps;  // the root stays: without it nothing is a sheet set
        if (e >= p.elements.size()) return xml;
        pugi::xml_node n = p.elements[e];
        switch (i % kElementOps) {
        case 0: n.parent().insert_copy_after(n, n); break;
        case 1: n.parent().remove_child(n); break;
        default:
            if (pugi::xml_node prev = n.previous_sibling(); prev && prev.type() == pugi::node_element) {
                prev.append_copy(n);
                n.parent().remove_child(n);
            } else {
                n.append_copy(n);  // no neighbour: into itself
            }
        }
    }
    std::ostringstream out;
    p.doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}
