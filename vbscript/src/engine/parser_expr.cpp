// The expression half of the parser: operators by binding strength,
// operands, argument lists and member / call suffixes.
#include "engine/parser_internal.h"

namespace vbs::parsing {

ExprP Parser::Bin(BinOp op, ExprP l, ExprP r, Pos at) {
  auto b = Node<BinaryExpr>(at);
  b->op = op;
  if (l->kind == Expr::Binary) b->chain = static_cast<BinaryExpr*>(l.get())->chain + 1;
  b->lhs = std::move(l);
  b->rhs = std::move(r);
  return b;
}

// The current token as a binary operator: its strength (0 = none).
int Parser::BinaryPrec(BinOp& op) const {
  const Token& t = Cur();
  if (t.type == Tok::Op) {
    switch (t.op) {
      case OpK::Star: op = BinOp::Mul; return kMulPrec;
      case OpK::Slash: op = BinOp::Div; return kMulPrec;
      case OpK::Backslash: op = BinOp::IntDiv; return kIntDivPrec;
      case OpK::Plus: op = BinOp::Add; return kAddPrec;
      case OpK::Minus: op = BinOp::Sub; return kAddPrec;
      case OpK::Amp: op = BinOp::Concat; return kConcatPrec;
      case OpK::Eq: op = BinOp::Eq; return kComparePrec;
      case OpK::Ne: op = BinOp::Ne; return kComparePrec;
      case OpK::Lt: op = BinOp::Lt; return kComparePrec;
      case OpK::Gt: op = BinOp::Gt; return kComparePrec;
      case OpK::Le: op = BinOp::Le; return kComparePrec;
      case OpK::Ge: op = BinOp::Ge; return kComparePrec;
      default: return 0;
    }
  }
  if (t.type == Tok::Ident) {
    switch (t.kw) {
      case Kw::Mod: op = BinOp::Mod; return kModPrec;
      case Kw::Is: op = BinOp::Is; return kComparePrec;
      case Kw::And: op = BinOp::And; return kAndPrec;
      case Kw::Or: op = BinOp::Or; return kOrPrec;
      case Kw::Xor: op = BinOp::Xor; return kXorPrec;
      case Kw::Eqv: op = BinOp::Eqv; return kEqvPrec;
      case Kw::Imp: op = BinOp::Imp; return kImpPrec;
      default: return 0;
    }
  }
  return 0;
}

// Operators at least as strong as minPrec, all left-associative: one
// loop instead of a function per level.
ExprP Parser::ParseBinary(int minPrec) {
  ExprP l = minPrec <= kNotPrec && IsKw(Kw::Not) ? ParseNot() : ParseUnary();
  for (;;) {
    BinOp op;
    const int prec = BinaryPrec(op);
    if (prec < minPrec || prec == 0) return l;
    Pos t = Cur();
    Advance();
    if (op == BinOp::Eq && !Cur().spaceBefore) {
      // "=<" and "=>" are accepted as "<=" and ">="
      if (IsOp(OpK::Lt)) { op = BinOp::Le; Advance(); }
      else if (IsOp(OpK::Gt)) { op = BinOp::Ge; Advance(); }
    }
    l = Bin(op, std::move(l), ParseBinary(prec + 1), t);
  }
}

// Not ...: its operand is a comparison (or another Not).
ExprP Parser::ParseNot() {
  Guard();
  Pos t = Cur();
  Advance();
  auto u = Node<UnaryExpr>(t);
  u->op = UnOp::Not;
  u->operand = IsKw(Kw::Not) ? ParseNot() : ParseBinary(kComparePrec);
  return u;
}

ExprP Parser::ParseSigned() {
  if (!(IsOp(OpK::Minus) || IsOp(OpK::Plus))) return ParsePostfix();
  Guard();
  Pos t = Cur();
  bool neg = IsOp(OpK::Minus);
  Advance();
  ExprP operand = ParseSigned();
  // Fold negated numeric literals. The sign is an operator, so the
  // literal keeps its own type: -32768 is the Long 32768 negated.
  if (neg && operand->kind == Expr::Literal) {
    auto* lit = static_cast<LiteralExpr*>(operand.get());
    const Variant& v = lit->value;
    if (v.type() == vbInteger && v.intVal() != INT16_MIN) {
      lit->value = Variant::FromInteger(int16_t(-v.intVal()));
      return operand;
    }
    if (v.type() == vbLong && v.longVal() != INT32_MIN) {
      lit->value = Variant::FromLong(-v.longVal());
      return operand;
    }
    if (v.type() == vbDouble) {
      lit->value = Variant::FromDouble(-v.doubleVal());
      return operand;
    }
  }
  auto u = Node<UnaryExpr>(t);
  u->op = neg ? UnOp::Neg : UnOp::Plus;
  u->operand = std::move(operand);
  return u;
}

ExprP Parser::ParsePowTail(ExprP l) {
  while (IsOp(OpK::Caret)) {
    Pos t = Cur();
    Advance();
    ExprP r = ParseSigned();
    l = Bin(BinOp::Pow, std::move(l), std::move(r), t);
  }
  return l;
}

// Argument list after '(' up to ')'; omitted arguments are nullptr.
ExprList Parser::ParseParenArgs() {
  ExprList args;
  ExpectOp(OpK::LParen, kErrExpectedLParen);
  if (IsOp(OpK::RParen)) {
    Advance();
    return args;
  }
  for (;;) {
    if (IsOp(OpK::Comma)) {
      args.push_back(nullptr);
      Advance();
      continue;
    }
    if (IsOp(OpK::RParen)) {
      args.push_back(nullptr);
      Advance();
      return args;
    }
    args.push_back(ParseExpr());
    if (IsOp(OpK::Comma)) {
      Advance();
      if (IsOp(OpK::RParen)) {
        args.push_back(nullptr);
        Advance();
        return args;
      }
      continue;
    }
    ExpectOp(OpK::RParen, kErrExpectedRParen);
    return args;
  }
}

ExprP Parser::ParsePrimary() {
  Guard();
  const Token& t = Cur();
  switch (t.type) {
    case Tok::Number:
    case Tok::Date: {
      auto l = Node<LiteralExpr>(t);
      l->value = t.value;
      Advance();
      return l;
    }
    case Tok::String: {
      auto l = Node<LiteralExpr>(t);
      SetNodeValueKept(l->value, StringLiteral(t.text));
      Advance();
      return l;
    }
    case Tok::Dot: {
      // .member inside With
      Pos at = t;
      Advance();
      auto m = Node<MemberExpr>(at);
      m->name = InternName(ExpectMemberName());
      return m;
    }
    case Tok::Op:
      if (t.op == OpK::LParen) {
        Pos at = t;
        Advance();
        auto p = Node<ParenExpr>(at);
        p->inner = ParseExpr();
        ExpectOp(OpK::RParen, kErrExpectedRParen);
        return p;
      }
      Fail(kErrExpectedExpression);
    case Tok::Ident: {
      Pos at = t;
      switch (t.kw) {
        case Kw::True:
        case Kw::False: {
          auto l = Node<LiteralExpr>(at);
          l->value = Variant::FromBool(t.kw == Kw::True);
          Advance();
          return l;
        }
        case Kw::Empty: {
          auto l = Node<LiteralExpr>(at);
          Advance();
          return l;
        }
        case Kw::Null: {
          auto l = Node<LiteralExpr>(at);
          l->value = Variant::Null();
          Advance();
          return l;
        }
        case Kw::Nothing: {
          auto l = Node<LiteralExpr>(at);
          SetNodeValue(l->value, Variant::Nothing());
          Advance();
          return l;
        }
        case Kw::Me: {
          Advance();
          return MakeExpr(at, Expr::Me);
        }
        case Kw::New: {
          Advance();
          auto n = Node<NewExpr>(at);
          n->className = ExpectName();
          return n;
        }
        default:
          break;
      }
      if (IsReservedKeyword(t.kw)) Fail(kErrExpectedExpression);
      auto n = Node<NameExpr>(at);
      n->name = InternName(t.word);
      Advance();
      return n;
    }
    default:
      Fail(kErrExpectedExpression);
  }
}

ExprP Parser::MakeExpr(Pos at, Expr::Kind k) {
  auto e = MakeNode<Expr>(k);
  e->line = at.line;
  e->col = at.col;
  return e;
}

// Applies "(args)" to an expression that already exists.
ExprP Parser::ApplyArgs(ExprP e, ExprList args, Pos at) {
  if (e->kind == Expr::Name) {
    auto* n = static_cast<NameExpr*>(e.get());
    if (!n->hasParens) {
      n->hasParens = true;
      n->args = std::move(args);
      return e;
    }
  } else if (e->kind == Expr::Member) {
    auto* m = static_cast<MemberExpr*>(e.get());
    if (!m->hasParens) {
      m->hasParens = true;
      m->args = std::move(args);
      return e;
    }
  }
  auto c = Node<CallExpr>(at);
  c->callee = std::move(e);
  c->args = std::move(args);
  return c;
}

// e.name: a '.' after a blank starts a With member (Echo .Count), not a
// member of what precedes it.
bool Parser::ParseMemberSuffix(ExprP& e) {
  if (!(Cur().type == Tok::Dot || (IsOp(OpK::Dot) && PeekTok().type == Tok::Ident)) || Cur().spaceBefore)
    return false;
  Pos at = Cur();
  Advance();
  auto m = Node<MemberExpr>(at);
  m->obj = std::move(e);
  m->name = InternName(ExpectMemberName());
  e = std::move(m);
  return true;
}

ExprP Parser::ParseSuffixes(ExprP e) {
  for (;;) {
    if (ParseMemberSuffix(e)) continue;
    if (IsOp(OpK::LParen)) {
      // Literals and New cannot take arguments.
      if (e->kind == Expr::Literal || e->kind == Expr::New) return e;
      Pos at = Cur();
      auto args = ParseParenArgs();
      e = ApplyArgs(std::move(e), std::move(args), at);
      continue;
    }
    return e;
  }
}

}  // namespace vbs::parsing
