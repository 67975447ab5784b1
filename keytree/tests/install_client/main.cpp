// Uses the public names unqualified, as the library's clients do.
#include <keytree/keytree.h>

#include <cstdio>
#include <cstring>

int main() {
  InitListDLL();
  CItemList list;
  list.Append(1);
  list.Append("two");
  CItem* three = CItem::Insert(new CLreal(3.0), LS_INSERT_BEFORE, list.Head());
  CItem* parsed = CItem::CreateFromString("(1, \"x\", 0x00000000)", -1);
  CString text = list.ToString();
  bool ok = IntOf(LS_INVALID_ITEM, 7) == 7 && three->GetIndex() == 0 && parsed != nullptr &&
            std::strcmp(text, "(3.000000000000000, 1, \"two\")") == 0 &&
            CRuntimeClass::FromName("CLguid") == RUNTIME_CLASS(CLguid);
  delete parsed;
  std::printf("%s\n", ok ? "client ok" : "client FAILED");
  return ok ? 0 : 1;
}
