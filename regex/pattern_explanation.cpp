#include "regex/pattern_explanation.h"

#include "regex/engine.h"

namespace lcr {

namespace {

using Kind = PatternToken::Kind;
using Role = ExplanationNode::Role;

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Builds the tree from the tokens: groups nest, "|" splits a container into
// branches, a quantifier takes the item before it as its child, and runs of
// literal characters become one text node.
class TreeBuilder final : public PatternListener {
public:
    TreeBuilder(ExplanationNode& root, std::size_t stopAt) : m_stopAt(stopAt) {
        m_open.push_back({&root});
    }

    void token(const PatternToken& t) override {
        if (t.start >= m_stopAt) {
            return;  // past the error: not explained
        }
        switch (t.kind) {
            case Kind::Literal:
                literal(t);
                return;
            case Kind::Quantifier:
                quantifier(t);
                return;
            case Kind::Alternation:
                alternation(t);
                return;
            case Kind::GroupOpen: {
                ExplanationNode& node = add(construct(t));
                m_open.push_back({&node});
                return;
            }
            case Kind::GroupClose:
                close(t.end);
                return;
            default:
                add(construct(t));
                return;
        }
    }

    // Closes what is still open (a pattern cut short by its error).
    void finish() {
        while (m_open.size() > 1) {
            close(m_open.back().node->end);
        }
        settleBranches(m_open.front());
    }

private:
    // A node being filled, and the branches it has been split into so far.
    struct Open {
        ExplanationNode* node;
        std::vector<ExplanationNode> branches;
        bool conditional() const {
            return node->role == Role::Construct && node->token.kind == Kind::GroupOpen &&
                   node->token.group == PatternToken::GroupKind::Conditional;
        }
        // A conditional whose condition is an assertion holds it as its first
        // child, outside the branches.
        std::size_t conditionChildren() const {
            const bool assertion =
                conditional() && (node->token.conditionIsLookAhead || node->token.text.empty());
            return assertion && !node->children.empty() ? 1 : 0;
        }
    };

    static ExplanationNode construct(const PatternToken& t) {
        ExplanationNode node;
        node.role = Role::Construct;
        node.token = t;
        node.start = t.start;
        node.end = t.end;
        return node;
    }

    ExplanationNode& add(ExplanationNode node) {
        std::vector<ExplanationNode>& children = m_open.back().node->children;
        children.push_back(std::move(node));
        m_lastWasLiteral = false;
        return children.back();
    }

    void literal(const PatternToken& t) {
        std::vector<ExplanationNode>& children = m_open.back().node->children;
        if (m_lastWasLiteral && !children.empty() && children.back().end == t.start &&
            children.back().token.kind == Kind::Literal) {
            ExplanationNode& run = children.back();
            run.token.text += t.text;
            run.end = run.token.end = t.end;
            return;
        }
        add(construct(t));
        m_lastWasLiteral = true;
    }

    // A quantifier repeats only the last character of a run of text.
    void quantifier(const PatternToken& t) {
        std::vector<ExplanationNode>& children = m_open.back().node->children;
        if (children.empty()) {
            add(construct(t));
            return;
        }
        ExplanationNode& last = children.back();
        if (last.token.kind == Kind::Literal && last.role == Role::Construct &&
            last.token.text.size() > 1 && last.end - last.start == last.token.text.size()) {
            const std::size_t length =
                last.token.text.size() >= 2 && isLowSurrogate(last.token.text.back()) ? 2 : 1;
            ExplanationNode tail = last;
            tail.token.text = last.token.text.substr(last.token.text.size() - length);
            tail.start = tail.token.start = last.end - length;
            last.token.text.resize(last.token.text.size() - length);
            last.end = last.token.end = tail.start;
            children.push_back(std::move(tail));
        }
        ExplanationNode repeated = std::move(children.back());
        children.pop_back();
        ExplanationNode repeat;
        repeat.role = Role::Repeat;
        repeat.token = t;
        repeat.start = repeated.start;
        repeat.end = t.end;
        repeat.children.push_back(std::move(repeated));
        add(std::move(repeat));
    }

    void alternation(const PatternToken& t) {
        Open& open = m_open.back();
        open.branches.push_back(branchOf(open.node->children, open.conditionChildren(),
                                         Role::Branch, static_cast<int>(open.branches.size()) + 1,
                                         t.start));
        m_lastWasLiteral = false;
    }

    // Moves children[first..] into a new branch node.
    static ExplanationNode branchOf(std::vector<ExplanationNode>& children, std::size_t first,
                                    Role role, int number, std::size_t endIfEmpty) {
        ExplanationNode branch;
        branch.role = role;
        branch.branch = number;
        for (std::size_t i = first; i < children.size(); ++i) {
            branch.children.push_back(std::move(children[i]));
        }
        children.resize(first);
        branch.start = branch.children.empty() ? endIfEmpty : branch.children.front().start;
        branch.end = branch.children.empty() ? endIfEmpty : branch.children.back().end;
        return branch;
    }

    // At a container's end: the children since the last "|" become its last
    // branch, and the branches become its children. In a conditional only the
    // first "|" separates yes from no: the first branch is yes, the rest
    // together the no branch.
    static void settleBranches(Open& open) {
        if (open.branches.empty()) {
            return;
        }
        std::vector<ExplanationNode>& children = open.node->children;
        open.branches.push_back(branchOf(children, open.conditionChildren(), Role::Branch,
                                         static_cast<int>(open.branches.size()) + 1,
                                         open.node->end));
        if (!open.conditional()) {
            for (ExplanationNode& branch : open.branches) {
                children.push_back(std::move(branch));
            }
            open.branches.clear();
            return;
        }
        ExplanationNode yes = std::move(open.branches.front());
        yes.role = Role::Yes;
        ExplanationNode no;
        no.role = Role::No;
        if (open.branches.size() == 2) {
            no = std::move(open.branches[1]);
            no.role = Role::No;
        } else {
            for (std::size_t i = 1; i < open.branches.size(); ++i) {
                open.branches[i].branch = static_cast<int>(i);
                no.children.push_back(std::move(open.branches[i]));
            }
            no.start = no.children.front().start;
            no.end = no.children.back().end;
        }
        children.push_back(std::move(yes));
        children.push_back(std::move(no));
        open.branches.clear();
    }

    void close(std::size_t end) {
        if (m_open.size() <= 1) {
            return;
        }
        Open open = std::move(m_open.back());
        m_open.pop_back();
        settleBranches(open);
        // A group the error leaves open still spans what it holds.
        open.node->end =
            open.node->children.empty() ? end : std::max(end, open.node->children.back().end);
        m_lastWasLiteral = false;
    }

    std::size_t m_stopAt;
    std::vector<Open> m_open;
    bool m_lastWasLiteral = false;
};

bool findPath(const ExplanationNode& node, std::size_t position, std::vector<std::size_t>& path) {
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        const ExplanationNode& child = node.children[i];
        if (child.start <= position && position < std::max(child.end, child.start + 1)) {
            path.push_back(i);
            findPath(child, position, path);
            return true;
        }
    }
    return false;
}

}  // namespace

ExplanationNode explainPattern(std::u16string_view pattern, int optionBits) {
    ExplanationNode root;
    root.role = Role::Expression;
    root.start = 0;
    root.end = pattern.size();

    EngineExpression engine;
    const bool compiles = engine.compile(pattern, optionBits & ~kRightToLeft);
    const std::size_t stopAt =
        compiles || !engine.error() ? pattern.size() : engine.error()->offset;
    TreeBuilder builder(root, stopAt);
    const TranslationFlags flags{(optionBits & kIgnoreCase) != 0, (optionBits & kMultiline) != 0,
                                 (optionBits & kSingleLine) != 0, (optionBits & kExtended) != 0,
                                 (optionBits & kGlobal) != 0};
    tokenizeDeelxPattern(pattern, flags, builder);
    builder.finish();
    if (!compiles && engine.error()) {
        ExplanationNode error;
        error.role = Role::Error;
        error.message = engine.error()->message;
        error.start = engine.error()->offset;
        error.end = std::min(pattern.size(), error.start + 1);
        root.children.push_back(std::move(error));
    }
    return root;
}

std::vector<std::size_t> nodePathAt(const ExplanationNode& root, std::size_t position) {
    std::vector<std::size_t> path;
    findPath(root, position, path);
    return path;
}

}  // namespace lcr
