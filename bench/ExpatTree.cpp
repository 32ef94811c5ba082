#include "ExpatTree.h"

#include <expat.h>

#include "AllocationCounter.h"

namespace {

struct Builder {
    std::vector<ExpatNode*> open;
    bool collecting = false; // text counts only until the first child or end tag
};

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attributes)
{
    Builder& builder = *static_cast<Builder*>(user);
    ExpatNode* parent = builder.open.back();
    parent->children.push_back(std::make_unique<ExpatNode>());
    ExpatNode* node = parent->children.back().get();
    node->name = name;
    for (const XML_Char** a = attributes; *a; a += 2)
        node->attributes.emplace_back(a[0], a[1]);
    builder.open.push_back(node);
    builder.collecting = true;
}

void XMLCALL onEnd(void* user, const XML_Char*)
{
    Builder& builder = *static_cast<Builder*>(user);
    builder.open.pop_back();
    builder.collecting = false;
}

void XMLCALL onText(void* user, const XML_Char* text, int length)
{
    Builder& builder = *static_cast<Builder*>(user);
    if (builder.collecting)
        builder.open.back()->text.append(text, static_cast<size_t>(length));
}

const XML_Memory_Handling_Suite kCountingMemory = {counting::allocate, counting::reallocate, counting::release};

} // namespace

bool parseWithExpat(const char* data, size_t size, ExpatNode& document)
{
    XML_Parser parser = XML_ParserCreate_MM(nullptr, &kCountingMemory, nullptr);
    if (!parser)
        return false;
    Builder builder;
    builder.open.push_back(&document);
    XML_SetUserData(parser, &builder);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onText);
    const bool parsed = XML_Parse(parser, data, static_cast<int>(size), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return parsed;
}
