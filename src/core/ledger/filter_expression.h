#pragma once

// Filter expressions of the record store: the few forms the program builds,
// parsed into a small tree. Parsing knows nothing of tables; the store checks
// the field names and turns the tree into SQL with bound values.
//
// Accepted forms (blanks exactly as written):
//   term     (F = 'v')  (F <> 'v')  (F >= 'v')  (F <= 'v')  (F <> 0) …
//            a value is a quoted text ('' stands for ') or a decimal integer;
//            a text ending in * with = or <> is a prefix match (or its negation)
//   group    "(" sequence ")"
//   joiners  " and " / " and  " / "and " between terms; "or  " between names
// Joiners are applied from left to right, so an "and (残金合計 <> 0)" appended
// to a chain of names joined by "or" applies to the whole chain. An " and "
// after an "or", or an "or" after any "and", is refused (its meaning would
// depend on precedence the program never relies on).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ledger/store_error.h"

namespace ravelto::store {

enum class FilterOp { Eq, Ne, Ge, Le };

struct FilterNode {
    enum class Kind { Compare, And, Or, True };
    Kind kind = Kind::True;
    // Compare
    std::string field;  // CP932
    FilterOp op = FilterOp::Eq;
    bool is_number = false;  // unquoted integer literal
    int64_t number = 0;
    std::string text;     // unquoted value, without the trailing * of a prefix
    bool prefix = false;  // "=" / "<>" with a trailing *
    // And / Or
    std::vector<FilterNode> children;
};

// Parses a CP932 filter expression. The empty text is the filter that passes
// everything. Anything else than the forms above throws StoreError quoting it.
FilterNode ParseFilter(std::string_view expression);

// A value as the filters write it: every ' doubled, enclosed in '.
std::string QuoteValue(std::string_view text);

// Every field name the expression mentions, in order of appearance.
void CollectFields(const FilterNode& node, std::vector<std::string>& out);

}  // namespace ravelto::store
