#include "core/ledger/filter_expression.h"

#include <limits>

#include "core/ledger/cp932.h"

namespace ravelto::store {

namespace {

class Parser {
  public:
    explicit Parser(std::string_view text) : s_(text) {}

    FilterNode ParseAll() {
        if (s_.empty()) return FilterNode{};
        FilterNode node = Sequence();
        if (i_ != s_.size()) Fail();
        return node;
    }

  private:
    [[noreturn]] void Fail() const {
        throw StoreError("フィルタ式「" + Cp932ToUtf8Lenient(s_) + "」を解釈できません（" +
                         std::to_string(i_ + 1) + "バイト目）。");
    }

    bool Take(std::string_view word) {
        if (s_.substr(i_, word.size()) == word) {
            i_ += word.size();
            return true;
        }
        return false;
    }

    void Expect(std::string_view word) {
        if (!Take(word)) Fail();
    }

    enum class Joiner { None, And, AndTight, Or };

    // After a closing parenthesis: which joiner follows, if any. The joiner
    // must be followed by an opening parenthesis.
    Joiner NextJoiner() {
        size_t save = i_;
        Joiner j = Joiner::None;
        if (Take(" and  ") || Take(" and "))
            j = Joiner::And;
        else if (Take("and "))
            j = Joiner::AndTight;
        else if (Take("or  "))
            j = Joiner::Or;
        if (j != Joiner::None && (i_ >= s_.size() || s_[i_] != '(')) {
            i_ = save;
            Fail();
        }
        return j;
    }

    FilterNode Sequence() {
        FilterNode acc = Term();
        bool seen_or = false, seen_and = false;
        for (;;) {
            size_t at = i_;
            Joiner j = NextJoiner();
            if (j == Joiner::None) break;
            if (j == Joiner::Or && seen_and) {
                i_ = at;
                Fail();
            }
            if (j == Joiner::And && seen_or) {
                i_ = at;
                Fail();
            }
            FilterNode rhs = Term();
            FilterNode::Kind kind = j == Joiner::Or ? FilterNode::Kind::Or : FilterNode::Kind::And;
            if (j == Joiner::Or)
                seen_or = true;
            else
                seen_and = true;
            if (acc.kind == kind) {
                acc.children.push_back(std::move(rhs));
            } else {
                FilterNode n;
                n.kind = kind;
                n.children.push_back(std::move(acc));
                n.children.push_back(std::move(rhs));
                acc = std::move(n);
            }
        }
        return acc;
    }

    FilterNode Term() {
        Expect("(");
        if (i_ < s_.size() && s_[i_] == '(') {
            FilterNode inner = Sequence();
            Expect(")");
            return inner;
        }
        FilterNode n;
        n.kind = FilterNode::Kind::Compare;
        n.field = FieldName();
        Expect(" ");
        if (Take("<>"))
            n.op = FilterOp::Ne;
        else if (Take(">="))
            n.op = FilterOp::Ge;
        else if (Take("<="))
            n.op = FilterOp::Le;
        else if (Take("="))
            n.op = FilterOp::Eq;
        else
            Fail();
        Expect(" ");
        Value(n);
        Expect(")");
        return n;
    }

    std::string FieldName() {
        size_t start = i_;
        while (i_ < s_.size()) {
            unsigned char c = static_cast<unsigned char>(s_[i_]);
            if (IsLeadByte(c)) {
                if (i_ + 1 >= s_.size()) Fail();
                i_ += 2;
                continue;
            }
            if (c <= ' ' || c == '(' || c == ')' || c == '\'' || c == '=' || c == '<' || c == '>')
                break;
            ++i_;
        }
        if (i_ == start) Fail();
        return std::string(s_.substr(start, i_ - start));
    }

    void Value(FilterNode& n) {
        if (Take("'")) {
            std::string v;
            for (;;) {
                if (i_ >= s_.size()) Fail();
                // A quote byte never occurs inside a double-byte character
                // (second bytes start at 0x40), so the text is walked bytewise.
                char c = s_[i_++];
                if (c == '\'') {
                    if (i_ < s_.size() && s_[i_] == '\'') {
                        v.push_back('\'');
                        ++i_;
                        continue;
                    }
                    break;
                }
                v.push_back(c);
            }
            if ((n.op == FilterOp::Eq || n.op == FilterOp::Ne) && !v.empty() && v.back() == '*') {
                v.pop_back();
                n.prefix = true;
            }
            n.text = std::move(v);
            return;
        }
        bool negative = Take("-");
        size_t start = i_;
        int64_t value = 0;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') {
            if (value > (std::numeric_limits<int64_t>::max() - 9) / 10) Fail();
            value = value * 10 + (s_[i_] - '0');
            ++i_;
        }
        if (i_ == start) Fail();
        n.is_number = true;
        n.number = negative ? -value : value;
    }

    std::string_view s_;
    size_t i_ = 0;
};

}  // namespace

FilterNode ParseFilter(std::string_view expression) {
    return Parser(expression).ParseAll();
}

std::string QuoteValue(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('\'');
    for (char c : text) {
        out.push_back(c);
        if (c == '\'') out.push_back('\'');
    }
    out.push_back('\'');
    return out;
}

void CollectFields(const FilterNode& node, std::vector<std::string>& out) {
    if (node.kind == FilterNode::Kind::Compare) out.push_back(node.field);
    for (const auto& c : node.children)
        CollectFields(c, out);
}

}  // namespace ravelto::store
