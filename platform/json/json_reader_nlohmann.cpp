// The key-path JSON reader over nlohmann-json. The document is kept as parsed (UTF-8 inside); paths and
// results cross in GBK.
#include "platform/json/json_reader.h"

#include "platform/text/text.h"

#include <nlohmann/json.hpp>

namespace platform::json {

struct JsonKeyValueReader::Document {
    nlohmann::json root; // null when nothing is loaded
};

JsonKeyValueReader::JsonKeyValueReader() : document_(new Document) {}

JsonKeyValueReader::~JsonKeyValueReader() { delete document_; }

void JsonKeyValueReader::clear() { document_->root = nullptr; }

bool JsonKeyValueReader::load(std::string_view gbkJson)
{
    // No exceptions out of the reader: a parse failure gives a discarded value.
    nlohmann::json parsed = nlohmann::json::parse(text::gbkToUtf8(gbkJson), nullptr, false);
    if (parsed.is_discarded()) {
        document_->root = nullptr;
        return false;
    }
    document_->root = std::move(parsed);
    return true;
}

std::string JsonKeyValueReader::text(std::string_view keyPath) const
{
    constexpr std::string_view kPrefix = "//";
    if (keyPath.substr(0, kPrefix.size()) != kPrefix)
        return {};
    const std::string path = text::gbkToUtf8(keyPath.substr(kPrefix.size()));

    const nlohmann::json *at = &document_->root;
    size_t start = 0;
    while (true) {
        const size_t dot = path.find('.', start);
        const std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (!at->is_object())
            return {};
        const auto member = at->find(name);
        if (member == at->end())
            return {};
        at = &*member;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (!at->is_string())
        return {};
    return text::utf8ToGbk(at->get_ref<const std::string &>());
}

} // namespace platform::json
