#pragma once

// The shape of a table of the record store: its fields (in their fixed order,
// since backups and settings files refer to fields by position) and its named
// orders. Names are CP932 text, like every text of the core.

#include <string>
#include <vector>

namespace ravelto::store {

enum class FieldType {
    Text,     // CP932 bytes
    Integer,  // 32-bit signed
    Logical,  // reads as "True" / "False"
};

struct FieldDef {
    std::string name;  // CP932
    FieldType type = FieldType::Text;
};

struct OrderKey {
    std::string field;  // CP932 field name
    bool descending = false;
};

// A named order. Ties are broken by the order in which records were added,
// in the direction of the first key, so every order is total.
struct OrderDef {
    // CP932. The empty name is the primary order: by default the order in
    // which records were added; a table may give it keys by listing an order
    // with the empty name.
    std::string name;
    std::vector<OrderKey> keys;
};

struct TableDef {
    std::string name;  // file name in the database directory, e.g. "receive.DB"
    std::vector<FieldDef> fields;
    std::vector<OrderDef> orders;
    // Extra indexes (field lists) that serve the filters the program builds.
    std::vector<std::vector<std::string>> indexes;
};

}  // namespace ravelto::store
