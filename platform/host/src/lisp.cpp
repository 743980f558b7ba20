// LISP functions that modules define: the host's table of them, the call
// "(NAME arg ...)" from the command input with its arguments, and the value
// the module hands back.
#include <cstdio>
#include <limits>
#include <memory>

#include "OdAlloc.h"
#include "hoststate.h"
#include "kxed.h"
#include "kxut.h"
#include "winsim/text.h"

namespace kxhost {

namespace {

struct LispFunction {
  std::u16string name;
  short code = 0;
  int moduleId = 0;
};

struct ChainDeleter {
  void operator()(resbuf* chain) const { odutRelRb(chain); }
};
using Chain = std::unique_ptr<resbuf, ChainDeleter>;

/// The value a called function hands back.
struct ReturnValue {
  enum class Kind { None, Void, Nil, Text, List } kind = Kind::None;
  std::u16string text;
  Chain list;
};

struct Call {
  short code = 0;
  resbuf* arguments = nullptr;
  ReturnValue value;
};

struct Lisp {
  std::vector<LispFunction> functions;
  Call* call = nullptr;  // the call a module is handling now
};

Lisp& lisp() {
  static Lisp* const instance = new Lisp;
  return *instance;
}

LispFunction* findFunction(std::u16string_view name) {
  for (auto& f : lisp().functions)
    if (winsim::equalsNoCase(f.name, name)) return &f;
  return nullptr;
}

/// Appends a node to a chain being built; false when out of memory.
bool appendNode(Chain& chain, resbuf*& last, resbuf* node) {
  if (!node) return false;
  if (last) {
    last->rbnext = node;
  } else {
    chain.reset(node);
  }
  last = node;
  return true;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

/// One argument as a node; null with an error for what is none.
resbuf* argumentNode(const std::u16string& atom, std::u16string& error) {
  const std::u16string upper = winsim::upperCase(atom);
  long long integer = 0;
  double real = 0;
  resbuf* node = nullptr;
  if (upper == u"NIL") {
    node = odutNewRb(RTNIL);
  } else if (upper == u"T") {
    node = odutNewRb(RTT);
  } else if (parseInt(atom, integer)) {
    if (integer >= std::numeric_limits<short>::min() && integer <= std::numeric_limits<short>::max()) {
      if ((node = odutNewRb(RTSHORT))) node->resval.rint = static_cast<short>(integer);
    } else if (integer >= std::numeric_limits<OdInt32>::min() && integer <= std::numeric_limits<OdInt32>::max()) {
      if ((node = odutNewRb(RTLONG))) node->resval.rlong = static_cast<OdInt32>(integer);
    } else {
      error = u"integer too large: " + atom;
      return nullptr;
    }
  } else if (parseReal(atom, real)) {
    if ((node = odutNewRb(RTREAL))) node->resval.rreal = real;
  } else {
    error = u"bad argument: " + atom;
    return nullptr;
  }
  if (!node) error = u"insufficient memory";
  return node;
}

resbuf* textNode(const std::u16string& text, std::u16string& error) {
  resbuf* node = odutNewRb(RTSTR);
  if (node) node->resval.rstring = odutNewString(text.c_str());
  if (!node || !node->resval.rstring) {
    odutRelRb(node);
    error = u"insufficient memory";
    return nullptr;
  }
  return node;
}

/// Reads "(NAME arg ...)": the name, and the arguments as a chain.
bool parseCall(std::u16string_view expression, std::u16string& name, Chain& arguments, std::u16string& error) {
  if (expression.empty() || expression.front() != u'(') {
    error = u"malformed call";
    return false;
  }
  std::size_t i = 1;
  resbuf* last = nullptr;
  for (;;) {
    while (i < expression.size() && isBlank(expression[i])) ++i;
    if (i >= expression.size()) {
      error = u"missing )";
      return false;
    }
    const char16_t c = expression[i];
    if (c == u')') {
      ++i;
      break;
    }
    if (c == u'(') {
      error = u"lists are not taken as arguments";
      return false;
    }
    resbuf* node = nullptr;
    if (c == u'"') {
      std::u16string text;
      for (++i; i < expression.size() && expression[i] != u'"'; ++i) {
        char16_t t = expression[i];
        if (t == u'\\' && i + 1 < expression.size()) {
          const char16_t next = expression[++i];
          t = next == u'n' ? u'\n' : next == u't' ? u'\t' : next;
        }
        text += t;
      }
      if (i >= expression.size()) {
        error = u"unterminated text";
        return false;
      }
      ++i;
      if (name.empty()) {
        error = u"bad function name";
        return false;
      }
      node = textNode(text, error);
    } else {
      const std::size_t start = i;
      while (i < expression.size() && !isBlank(expression[i]) && expression[i] != u'"' && expression[i] != u'(' &&
             expression[i] != u')')
        ++i;
      const std::u16string atom(expression.substr(start, i - start));
      if (name.empty()) {
        name = atom;
        continue;
      }
      node = argumentNode(atom, error);
    }
    if (!node) return false;
    appendNode(arguments, last, node);
  }
  while (i < expression.size() && isBlank(expression[i])) ++i;
  if (i < expression.size()) {
    error = u"extra text after )";
    return false;
  }
  if (name.empty()) {
    error = u"no function name";
    return false;
  }
  return true;
}

std::u16string quoted(std::u16string_view text) {
  std::u16string out = u"\"";
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') out += u'\\';
    out += c;
  }
  return out + u"\"";
}

std::u16string realText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  std::u16string text = winsim::fromUtf8(buffer);
  // LISP shows a real as a real, even when it is whole.
  if (text.find_first_of(u".eEni") == std::u16string::npos) text += u".0";
  return text;
}

std::u16string pointText(const resbuf& node) {
  std::u16string text = u"(" + realText(node.resval.rpoint[0]) + u" " + realText(node.resval.rpoint[1]);
  if (node.restype != RTPOINT) text += u" " + realText(node.resval.rpoint[2]);
  return text + u")";
}

/// One value of a list, advancing past it (a nested list whole).
std::u16string valueText(const resbuf*& node, int depth);

std::u16string listText(const resbuf*& node, int depth) {
  std::vector<std::u16string> items;
  bool dotted = false;
  while (node && node->restype != RTLE && node->restype != RTDOTE) items.push_back(valueText(node, depth));
  if (node) {
    dotted = node->restype == RTDOTE;
    node = node->rbnext;
  }
  std::u16string text = u"(";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += dotted && i + 1 == items.size() ? u" . " : u" ";
    text += items[i];
  }
  return text + u")";
}

std::u16string valueText(const resbuf*& node, int depth) {
  const resbuf& value = *node;
  node = node->rbnext;
  switch (value.restype) {
    case RTSHORT:
      return winsim::fromUtf8(std::to_string(value.resval.rint));
    case RTLONG:
      return winsim::fromUtf8(std::to_string(value.resval.rlong));
    case RTREAL:
    case RTANG:
      return realText(value.resval.rreal);
    case RTPOINT:
    case RT3DPOINT:
      return pointText(value);
    case RTSTR:
      return quoted(value.resval.rstring ? value.resval.rstring : u"");
    case RTENAME: {
      char buffer[48];
      std::snprintf(buffer, sizeof buffer, "<Entity name: %llx>",
                    static_cast<unsigned long long>(value.resval.rlname[1]));
      return winsim::fromUtf8(buffer);
    }
    case RTT:
      return u"T";
    case RTNIL:
      return u"nil";
    case RTLB:
      // Deeper than any list a module builds: the rest is shown flat.
      if (depth > 64) return u"(...)";
      return listText(node, depth + 1);
    default:
      return u"<" + winsim::fromUtf8(std::to_string(value.restype)) + u">";
  }
}

std::u16string returnText(const ReturnValue& value) {
  switch (value.kind) {
    case ReturnValue::Kind::Void:
      return u"";
    case ReturnValue::Kind::Text:
      return quoted(value.text);
    case ReturnValue::Kind::List: {
      std::u16string text;
      const resbuf* node = value.list.get();
      while (node) {
        if (!text.empty()) text += u" ";
        text += valueText(node, 0);
      }
      return text.empty() ? u"nil" : text;
    }
    default:
      return u"nil";
  }
}

int setReturn(ReturnValue::Kind kind, std::u16string text = {}, Chain list = {}) {
  Call* call = lisp().call;
  if (!call) return RTERROR;
  call->value.kind = kind;
  call->value.text = std::move(text);
  call->value.list = std::move(list);
  return RTNORM;
}

Chain copyChain(const resbuf* list) {
  Chain copy;
  resbuf* last = nullptr;
  for (const resbuf* node = list; node; node = node->rbnext) {
    resbuf* item = odutNewRb(node->restype);
    if (!item) return Chain();
    item->resval = node->resval;
    if (odutResBufKind(node->restype) == OdResBufKind::kText) {
      item->resval.rstring = node->resval.rstring ? odutNewString(node->resval.rstring) : nullptr;
      if (node->resval.rstring && !item->resval.rstring) {
        odutRelRb(item);
        return Chain();
      }
    } else if (odutResBufKind(node->restype) == OdResBufKind::kBinary) {
      item->resval.rbinary = {0, nullptr};  // binary chunks are no LISP values
    }
    appendNode(copy, last, item);
  }
  return copy;
}

}  // namespace

bool callLispFunction(std::u16string_view expression) {
  std::u16string name;
  Chain arguments;
  std::u16string error;
  if (!parseCall(expression, name, arguments, error)) {
    kxutPrintf(u"\n; error: %s", error.c_str());
    return false;
  }
  const LispFunction* function = findFunction(name);
  if (!function) {
    kxutPrintf(u"\n; error: no function definition: %s", winsim::upperCase(name).c_str());
    return false;
  }
  Call call;
  call.code = function->code;
  call.arguments = arguments.get();
  Call* const outer = lisp().call;
  lisp().call = &call;
  const int answer = sendFunctionMessage(function->moduleId);
  lisp().call = outer;
  if (answer != KxRx::kRetOK) {
    kxutPrintf(u"\n; error: %s: its module did not take the call", winsim::upperCase(name).c_str());
    return false;
  }
  const std::u16string text = returnText(call.value);
  if (!text.empty()) kxutPrintf(u"\n%s", text.c_str());
  return true;
}

void forgetFunctionsOf(int moduleId) {
  auto& functions = lisp().functions;
  std::erase_if(functions, [&](const LispFunction& f) { return f.moduleId == moduleId; });
}

void forgetAllFunctions() { lisp().functions.clear(); }

}  // namespace kxhost

using namespace kxhost;

int kxedDefun(const OdChar* name, short functionCode) {
  const int moduleId = messageModule();
  if (!name || !*name || functionCode < 0 || moduleId == 0) return RTERROR;
  if (LispFunction* existing = findFunction(name)) {
    *existing = LispFunction{name, functionCode, moduleId};
  } else {
    lisp().functions.push_back(LispFunction{name, functionCode, moduleId});
  }
  return RTNORM;
}

int kxedUndef(const OdChar* name, short functionCode) {
  LispFunction* function = name ? findFunction(name) : nullptr;
  if (!function || function->code != functionCode || function->moduleId != messageModule()) return RTERROR;
  std::erase_if(lisp().functions, [&](const LispFunction& f) { return &f == function; });
  return RTNORM;
}

int kxedGetFunCode() { return lisp().call ? lisp().call->code : RTERROR; }
resbuf* kxedGetArgs() { return lisp().call ? lisp().call->arguments : nullptr; }

int kxedRetVoid() { return setReturn(ReturnValue::Kind::Void); }
int kxedRetNil() { return setReturn(ReturnValue::Kind::Nil); }
int kxedRetStr(const OdChar* text) { return setReturn(ReturnValue::Kind::Text, text ? text : u""); }

int kxedRetList(const resbuf* list) {
  if (!list) return setReturn(ReturnValue::Kind::Nil);
  Chain copy = copyChain(list);
  if (!copy) return RTERROR;
  return setReturn(ReturnValue::Kind::List, {}, std::move(copy));
}
