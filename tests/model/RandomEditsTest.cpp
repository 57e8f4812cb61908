// Random sequences of create, move, rename, remove, save and reopen: the set must agree with a
// plain tree kept beside it after every step, and the file with it after every reopen.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "model/MoveComponents.h"
#include "model/SheetSetMgrImpl.h"
#include "tests/support/TestFiles.h"
#include "toolkit/common/TkUtf8.h"

namespace {

// The reference: a subset or a sheet with a label, and children for subsets.
struct Node {
    bool subset = true;
    TkString label, number;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    Node* add(int index, bool isSubset, const TkString& l) {
        auto n = std::make_unique<Node>();
        n->subset = isSubset;
        n->label = l;
        n->parent = this;
        Node* raw = n.get();
        if (index < 0 || index >= static_cast<int>(children.size())) children.push_back(std::move(n));
        else children.insert(children.begin() + index, std::move(n));
        return raw;
    }
    int indexOf(const Node* c) const {
        for (size_t i = 0; i < children.size(); ++i)
            if (children[i].get() == c) return static_cast<int>(i);
        return -1;
    }
    std::unique_ptr<Node> take(Node* c) {
        int i = indexOf(c);
        auto n = std::move(children[static_cast<size_t>(i)]);
        children.erase(children.begin() + i);
        return n;
    }
    bool within(const Node* ancestor) const {
        for (const Node* n = this; n; n = n->parent)
            if (n == ancestor) return true;
        return false;
    }
};

void walk(Node* n, std::vector<Node*>& out) {
    out.push_back(n);
    for (auto& c : n->children) walk(c.get(), out);
}
void walk(CComponent* c, std::vector<CComponent*>& out) {
    out.push_back(c);
    if (auto* s = dynamic_cast<CSubset*>(c))
        for (int i = 0; i < s->getCount(); ++i) walk(s->getAt(i), out);
}

std::string describe(const Node* n) {
    std::string s = tkToUtf8(n->label);
    if (!n->subset) return s + "#" + tkToUtf8(n->number);
    s += "[";
    for (auto& c : n->children) s += describe(c.get()) + " ";
    return s + "]";
}
std::string describe(const CComponent* c) {
    if (auto* sh = dynamic_cast<const CSheet*>(c)) return tkToUtf8(sh->getTitle()) + "#" + tkToUtf8(sh->getNumber());
    auto* s = dynamic_cast<const CSubset*>(c);
    std::string out = tkToUtf8(s->getName()) + "[";
    for (int i = 0; i < s->getCount(); ++i) out += describe(s->getAt(i)) + " ";
    return out + "]";
}

class RandomEdits {
public:
    explicit RandomEdits(unsigned seed) : rng_(seed) {
        path_ = dir_.file("Random.dst");
        CSheetSet* made = mgr_.createSheetSet();
        made->setFileName(tkFromUtf8(path_).c_str());
        made->setName(L"Root");
        EXPECT_TRUE(made->save());
        mgr_.releaseSheetSet(made);
        ref_.label = L"Root";
        reopen();
    }

    void step() {
        std::vector<Node*> nodes;
        std::vector<CComponent*> comps;
        walk(&ref_, nodes);
        walk(set_, comps);
        ASSERT_EQ(nodes.size(), comps.size());
        int op = pick(100);
        size_t i = static_cast<size_t>(pick(static_cast<int>(nodes.size())));
        if (op < 30 && nodes.size() < 80) create(nodes, comps, i);
        else if (op < 55) move(nodes, comps);
        else if (op < 70) rename(nodes[i], comps[i]);
        else if (op < 85) remove(nodes[i], comps[i]);
        else if (op < 95) ASSERT_TRUE(set_->save());
        else reopen();
        ASSERT_EQ(describe(set_), describe(&ref_)) << "after operation " << op;
    }

    void reopen() {
        if (set_) {
            ASSERT_TRUE(set_->save());
            mgr_.closeSheetSet(0);
        }
        ASSERT_TRUE(mgr_.openSheetSet(tkFromUtf8(path_).c_str()));
        set_ = mgr_.getSheetSet(0);
        ASSERT_EQ(describe(set_), describe(&ref_)) << "after reopening";
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    TkString fresh(const wchar_t* prefix) { return prefix + std::to_wstring(++counter_); }

    void create(const std::vector<Node*>& nodes, const std::vector<CComponent*>& comps, size_t i) {
        if (!nodes[i]->subset) return;
        auto* s = dynamic_cast<CSubset*>(comps[i]);
        int index = pick(static_cast<int>(nodes[i]->children.size()) + 3) - 1;  // -1 and past the end append
        if (pick(3) == 0) {
            TkString name = fresh(L"G");
            s->addNewSubset(index, name.c_str());
            nodes[i]->add(index, true, name);
        } else {
            TkString title = fresh(L"S"), number = L"N" + std::to_wstring(counter_);
            s->addNewSheet(index, title.c_str())->setNumber(number.c_str());
            nodes[i]->add(index, false, title)->number = number;
        }
    }

    void rename(Node* n, CComponent* c) {
        if (!n->parent) return;
        if (n->subset) {
            n->label = fresh(L"R");
            dynamic_cast<CSubset*>(c)->setName(n->label.c_str());
        } else if (pick(2)) {
            n->label = fresh(L"T");
            dynamic_cast<CSheet*>(c)->setTitle(n->label.c_str());
        } else {
            n->number = fresh(L"M");
            dynamic_cast<CSheet*>(c)->setNumber(n->number.c_str());
        }
    }

    void remove(Node* n, CComponent* c) {
        if (!n->parent) return;
        auto* parent = dynamic_cast<CSubset*>(c->getParent());
        if (n->subset) parent->removeSubset(dynamic_cast<CSubset*>(c));
        else parent->removeSheet(dynamic_cast<CSheet*>(c));
        n->parent->take(n);
    }

    // The reference moves by taking the items out and putting them back next to the target, a
    // different route from the model's copy-then-remove.
    void move(const std::vector<Node*>& nodes, const std::vector<CComponent*>& comps) {
        std::vector<size_t> picked;
        int count = 1 + pick(3);
        for (int k = 0; k < count; ++k) {
            size_t j = 1 + static_cast<size_t>(pick(static_cast<int>(nodes.size())));
            if (j < nodes.size() && std::find(picked.begin(), picked.end(), j) == picked.end()) picked.push_back(j);
        }
        if (picked.empty()) return;
        std::sort(picked.begin(), picked.end());  // tree order, as a tree hands its selection over
        size_t t = static_cast<size_t>(pick(static_cast<int>(nodes.size())));
        Node* target = nodes[t];
        bool after = t != 0 && pick(2);
        for (size_t j : picked)
            if (target->within(nodes[j])) return;  // the tree never offers these targets
        std::vector<CComponent*> dragged;
        std::vector<Node*> movingNodes;
        for (size_t j : picked) {
            dragged.push_back(comps[j]);
            bool ancestorPicked = false;
            for (size_t k : picked) ancestorPicked |= k != j && nodes[j]->within(nodes[k]);
            if (!ancestorPicked) movingNodes.push_back(nodes[j]);
        }
        moveComponents(comps[t], after, dragged);

        Node* destination = (!target->subset || after) ? target->parent : target;
        std::vector<std::unique_ptr<Node>> taken;
        for (Node* m : movingNodes) taken.push_back(m->parent->take(m));
        int at = destination == target ? 0 : destination->indexOf(target) + 1;
        for (auto& n : taken) {
            n->parent = destination;
            destination->children.insert(destination->children.begin() + at++, std::move(n));
        }
    }

    ScratchDir dir_;
    std::string path_;
    std::mt19937 rng_;
    CSheetSetMgrImpl mgr_;
    CSheetSet* set_ = nullptr;
    Node ref_;
    int counter_ = 0;
};

TEST(SheetSetModel, RandomEditSequencesAgreeWithAPlainTree) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomEdits run(seed);
        for (int k = 0; k < 1000; ++k) {
            run.step();
            if (::testing::Test::HasFatalFailure() || ::testing::Test::HasNonfatalFailure()) return;
        }
        run.reopen();
    }
}

}  // namespace
