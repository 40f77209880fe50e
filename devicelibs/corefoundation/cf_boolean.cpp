// CF booleans: the two process-wide constants.
#include "cf_object.h"

using namespace kelmcf;

namespace {
const BooleanObject trueObject(true);
const BooleanObject falseObject(false);
} // namespace

extern "C" {

const CFBooleanRef kCFBooleanTrue = toRef(&trueObject);
const CFBooleanRef kCFBooleanFalse = toRef(&falseObject);

KELM_CF_EXPORT Boolean CFBooleanGetValue(CFBooleanRef boolean)
{
    const BooleanObject *b = as<BooleanObject>(boolean);
    return b != nullptr && b->value();
}

} // extern "C"
