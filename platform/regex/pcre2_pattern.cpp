// Compiling and searching with PCRE2's 16-bit library, options chosen to give the scripting dialect
// described in regex.h (JIT-compiled when the machine supports it).
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "platform/regex/regex.h"

namespace platform::regex {

class Pattern {
public:
    explicit Pattern(pcre2_code *code) : code_(code)
    {
        uint32_t count = 0;
        pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &count);
        groups_ = static_cast<int>(count);
    }
    ~Pattern() { pcre2_code_free(code_); }
    Pattern(const Pattern &) = delete;
    Pattern &operator=(const Pattern &) = delete;

    const pcre2_code *code() const { return code_; }
    int groups() const { return groups_; }

private:
    pcre2_code *code_;
    int groups_ = 0;
};

namespace {

// Limits that turn a runaway search into an incomplete result instead of a frozen window: the
// interpreter's backtracking memory and the JIT's stack.
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
constexpr size_t kJitStackMax = 64 * 1024 * 1024;

template <typename T, void (*Free)(T *)>
struct Freer {
    void operator()(T *p) const { Free(p); }
};
using CompileContext = std::unique_ptr<pcre2_compile_context, Freer<pcre2_compile_context, pcre2_compile_context_free>>;
using MatchContext = std::unique_ptr<pcre2_match_context, Freer<pcre2_match_context, pcre2_match_context_free>>;
using MatchData = std::unique_ptr<pcre2_match_data, Freer<pcre2_match_data, pcre2_match_data_free>>;
using JitStack = std::unique_ptr<pcre2_jit_stack, Freer<pcre2_jit_stack, pcre2_jit_stack_free>>;

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

std::shared_ptr<const Pattern> compile(std::u16string_view pattern, Options options, std::string *error)
{
    CompileContext context(pcre2_compile_context_create(nullptr));
    if (!context) {
        if (error != nullptr)
            *error = "out of memory";
        return nullptr;
    }
    // CR, LF and CRLF are line breaks: "." stops at them and multi-line anchors match beside them.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    uint32_t flags = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF
                     | PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_BACKSLASH_C;
    if (options.ignoreCase)
        flags |= PCRE2_CASELESS;
    if (options.multiline)
        flags |= PCRE2_MULTILINE;
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code *compiled = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags,
                                         &code, &offset, context.get());
    if (compiled == nullptr) {
        if (error != nullptr) {
            PCRE2_UCHAR message[256] = {};
            pcre2_get_error_message(code, message, sizeof message / sizeof message[0]);
            error->clear();
            for (const PCRE2_UCHAR *p = message; *p != 0; ++p)
                error->push_back(*p < 0x80 ? static_cast<char>(*p) : '?');
            *error += " at offset " + std::to_string(offset);
        }
        return nullptr;
    }
    // Without JIT the interpreter runs the same pattern, only slower.
    (void)pcre2_jit_compile(compiled, PCRE2_JIT_COMPLETE);
    return std::make_shared<const Pattern>(compiled);
}

int groupCount(const Pattern &pattern) { return pattern.groups(); }

MatchList findMatches(const Pattern &pattern, std::u16string_view subject, bool global)
{
    MatchList result;
    result.groups = pattern.groups();
    if (subject.size() >= UINT32_MAX) {
        result.complete = false;
        return result;
    }
    MatchData data(pcre2_match_data_create_from_pattern(pattern.code(), nullptr));
    MatchContext context(pcre2_match_context_create(nullptr));
    JitStack stack(pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr));
    if (!data || !context) {
        result.complete = false;
        return result;
    }
    pcre2_set_heap_limit(context.get(), kHeapLimitKiB);
    if (stack)
        pcre2_jit_stack_assign(context.get(), nullptr, stack.get());

    const auto *text = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const PCRE2_SIZE length = subject.size();
    PCRE2_SIZE start = 0;
    uint32_t matchOptions = 0; // the first call checks the subject is valid UTF-16, later ones skip it
    const auto pairs = static_cast<size_t>(result.groups + 1);
    while (start <= length) {
        const int rc = pcre2_match(pattern.code(), text, length, start, matchOptions, data.get(), context.get());
        if (rc == PCRE2_ERROR_NOMATCH)
            break;
        if (rc < 0) {
            result.complete = false;
            break;
        }
        const PCRE2_SIZE *ov = pcre2_get_ovector_pointer(data.get());
        if (ov[0] > ov[1]) { // only "\K" inside a look-ahead can do this; treat as the end
            result.complete = false;
            break;
        }
        for (size_t g = 0; g < pairs; ++g) {
            const bool set = g < static_cast<size_t>(rc) && ov[2 * g] != PCRE2_UNSET;
            result.spans.push_back(set ? static_cast<uint32_t>(ov[2 * g]) : MatchList::kNoGroup);
            result.spans.push_back(set ? static_cast<uint32_t>(ov[2 * g + 1]) : MatchList::kNoGroup);
        }
        if (!global)
            break;
        matchOptions = PCRE2_NO_UTF_CHECK;
        start = ov[1];
        // After an empty match the next search starts one character further on, as the scripting
        // engines do; a surrogate pair and a CRLF count as one character.
        if (ov[0] == ov[1]) {
            if (start >= length)
                break;
            if (isHighSurrogate(subject[start]) && start + 1 < length && isLowSurrogate(subject[start + 1]))
                start += 2;
            else if (subject[start] == u'\r' && start + 1 < length && subject[start + 1] == u'\n')
                start += 2;
            else
                start += 1;
        }
    }
    return result;
}

} // namespace platform::regex
