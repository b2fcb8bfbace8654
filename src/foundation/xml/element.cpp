#include "foundation/xml/element.h"

#include <cstring>
#include <new>

#include "foundation/environment.h"
#include "foundation/text/number.h"
#include "platform/memcheck.h"
#include "platform/threadexit.h"

namespace {

constexpr const char* kModule = "Library/xml";

// A name looked up, measured once. A Str holds no zero byte, so equal lengths and
// bytes are strcmp's answer; most siblings differ in length already, and a long name's
// bytes (in a block of its own) are then never touched.
struct NameKey {
    explicit NameKey(const char* text) : text(text), length(std::strlen(text)) {}
    explicit NameKey(std::string_view name) : text(name.data()), length(name.size()) {}
    const char* text;
    size_t length;
};

bool SameName(const Str& name, const NameKey& key) {
    return static_cast<size_t>(name.Length()) == key.length && std::memcmp(name.Data(), key.text, key.length) == 0;
}

// Freed nodes kept for the next trees of the same thread, so that reading a file costs
// the heap only as many nodes as its largest tree; beyond kKeep they go back. A pooled
// node is poisoned past its link, so a memory checker still catches a use after free.
struct FreeNode {
    FreeNode* next;
};
static_assert(sizeof(FreeNode) <= sizeof(xml_Attribute) && sizeof(FreeNode) <= sizeof(xml_Element));

// Plain data without a destructor: a thread_local destructor would keep the library
// loaded until the thread ends. The nodes go back to the heap through a thread cleanup
// instead, armed when a thread first keeps one.
struct NodePools {
    static constexpr int kKeep = 4096;
    FreeNode* first[2];
    int count[2];
    bool armed;
    // Set as the thread ends (or the library unloads): a node freed later goes straight
    // back to the heap.
    bool closed;
};

thread_local NodePools pools{};

void ReleasePools() {
    pools.closed = true;
    for (FreeNode*& list : pools.first) {
        while (list) {
            FreeNode* node = list;
            list = node->next;
            ::operator delete(node);
        }
    }
    pools.count[0] = pools.count[1] = 0;
}

platform_ThreadCleanup& PoolCleanup() {
    static platform_ThreadCleanup cleanup(ReleasePools);
    return cleanup;
}

enum PoolKind { kElementNodes, kAttributeNodes };

void* TakeNode(PoolKind kind, std::size_t size) {
    FreeNode*& list = pools.first[kind];
    if (!list) return ::operator new(size);
    FreeNode* node = list;
    list = node->next;
    --pools.count[kind];
    platform_UnpoisonMemory(node, size);
    return node;
}

void GiveNode(PoolKind kind, void* node, std::size_t size) {
    if (!node) return;
    if (pools.closed || pools.count[kind] >= NodePools::kKeep) {
        ::operator delete(node);
        return;
    }
    if (!pools.armed) {
        pools.armed = true;
        PoolCleanup().Arm();
    }
    FreeNode* free = static_cast<FreeNode*>(node);
    free->next = pools.first[kind];
    pools.first[kind] = free;
    ++pools.count[kind];
    platform_PoisonMemory(free + 1, size - sizeof(FreeNode));
}

}  // namespace

void* xml_Attribute::operator new(std::size_t size) {
    return size == sizeof(xml_Attribute) ? TakeNode(kAttributeNodes, size) : ::operator new(size);
}

void xml_Attribute::operator delete(void* node, std::size_t size) noexcept {
    if (size == sizeof(xml_Attribute))
        GiveNode(kAttributeNodes, node, size);
    else
        ::operator delete(node);
}

void* xml_Element::operator new(std::size_t size) {
    return size == sizeof(xml_Element) ? TakeNode(kElementNodes, size) : ::operator new(size);
}

void xml_Element::operator delete(void* node, std::size_t size) noexcept {
    if (size == sizeof(xml_Element))
        GiveNode(kElementNodes, node, size);
    else
        ::operator delete(node);
}

xml_Element::xml_Element(const char* name) : name(name) {}

xml_Element::xml_Element(const char* name, const Str& text) : name(name), text(text) {}

xml_Element::xml_Element(Str&& name) : name(static_cast<Str&&>(name)) {}

xml_Element::~xml_Element() {
    for (xml_Attribute* a = firstAttribute; a;) {
        xml_Attribute* next = a->next;
        delete a;
        a = next;
    }
    xml_Element* children = firstChild;
    firstChild = lastChild = nullptr;
    xml_TakeApart(children, [](xml_Element* e) { delete e; });
}

void xml_Element::AddAttribute(xml_Attribute* attribute) {
    if (!attribute) return;
    attribute->next = nullptr;
    if (!firstAttribute) {
        firstAttribute = lastAttribute = attribute;
        return;
    }
    if (!QZ_ASSERT(this->lastAttribute)) {
        xml_Attribute* a = firstAttribute;
        while (a->next) a = a->next;
        lastAttribute = a;
    }
    lastAttribute->next = attribute;
    lastAttribute = attribute;
}

void xml_Element::AddChild(xml_Element* child) {
    if (!child) return;
    child->nextSibling = nullptr;
    if (!firstChild) {
        firstChild = lastChild = child;
        return;
    }
    if (!QZ_ASSERT(this->lastChild)) {
        xml_Element* e = firstChild;
        while (e->nextSibling) e = e->nextSibling;
        lastChild = e;
    }
    lastChild->nextSibling = child;
    lastChild = child;
}

bool xml_Element::RemoveChild(xml_Element* child) {
    xml_Element* previous = nullptr;
    for (xml_Element* e = firstChild; e; previous = e, e = e->nextSibling) {
        if (e != child) continue;
        if (previous)
            previous->nextSibling = e->nextSibling;
        else
            firstChild = e->nextSibling;
        if (lastChild == e) lastChild = previous;
        e->nextSibling = nullptr;
        delete e;
        return true;
    }
    return false;
}

xml_Element* xml_Element::FindChild(std::string_view name) const {
    const NameKey key(name);
    for (xml_Element* e = firstChild; e; e = e->nextSibling)
        if (SameName(e->name, key)) return e;
    return nullptr;
}

xml_Element* xml_Element::GetChild(int n) const {
    if (n < 0) return nullptr;
    xml_Element* e = firstChild;
    for (; e && n > 0; --n) e = e->nextSibling;
    return e;
}

xml_Element* xml_Element::GetChild(int n, const char* name) const {
    if (n < 0) return nullptr;
    const NameKey key(name);
    for (xml_Element* e = firstChild; e; e = e->nextSibling)
        if (SameName(e->name, key) && n-- == 0) return e;
    return nullptr;
}

xml_Element* xml_Element::GetChildAt(int n) const { return GetChild(n <= 1 ? 0 : n - 1); }

int xml_Element::GetChildCount() const {
    int count = 0;
    for (xml_Element* e = firstChild; e; e = e->nextSibling) ++count;
    return count;
}

int xml_Element::CountChildren(const char* name) const {
    int count = 0;
    const NameKey key(name);
    for (xml_Element* e = firstChild; e; e = e->nextSibling)
        if (SameName(e->name, key)) ++count;
    return count;
}

Str xml_Element::GetChildText(const char* name) const {
    xml_Element* e = FindChild(name);
    return e ? e->text : Str();
}

xml_Attribute* xml_Element::FindAttribute(std::string_view name) const {
    const NameKey key(name);
    for (xml_Attribute* a = firstAttribute; a; a = a->next)
        if (SameName(a->name, key)) return a;
    return nullptr;
}

Str xml_Element::GetAttributeText(const char* name) const {
    xml_Attribute* a = FindAttribute(name);
    return a ? a->value : Str();
}

bool xml_Element::SetAttributeText(const char* name, const Str& value) {
    xml_Attribute* a = FindAttribute(name);
    if (!a) return false;
    a->value = value;
    return true;
}

xml_Element* xml_Element::FindPath(const char* path) const {
    const xml_Element* at = this;
    while (true) {
        const char* slash = std::strchr(path, '/');
        size_t length = slash ? static_cast<size_t>(slash - path) : std::strlen(path);
        if (length == 0) return nullptr;
        xml_Element* found = nullptr;
        for (xml_Element* e = at->firstChild; e; e = e->nextSibling) {
            if (static_cast<size_t>(e->name.Length()) == length &&
                std::memcmp(e->name.Data(), path, length) == 0) {
                found = e;
                break;
            }
        }
        if (!found || !slash || slash[1] == 0) return found;
        at = found;
        path = slash + 1;
    }
}

Str xml_Element::GetText(const char* path) const {
    xml_Element* e = FindPath(path);
    return e ? e->text : Str();
}

bool xml_Element::SetText(const char* path, const Str& text) {
    xml_Element* e = FindPath(path);
    if (!e) return false;
    e->text = text;
    return true;
}

bool xml_Element::GetBool(const char* path) const {
    xml_Element* e = FindPath(path);
    return e && string_CompareInsensitive(e->text.Data(), "true") == 0 && e->text.Length() == 4;
}

double xml_Element::GetDouble(const char* path, double defaultValue) const {
    xml_Element* e = FindPath(path);
    if (!e || e->text.IsEmpty()) return defaultValue;
    return number_Atof(e->text.Data());
}

Str xml_GetAttributeText(const xml_Element* element, const char* name) {
    return element->GetAttributeText(name);
}

int xml_CountAtLevel(const xml_Element* element, int level) {
    if (level < 0) return 0;
    int count = 0;
    for (xml_Element* e = element->firstChild; e; e = e->nextSibling)
        count += level == 0 ? 1 : xml_CountAtLevel(e, level - 1);
    return count;
}
