#include "widgets/ico_list.h"

#include <algorithm>

namespace {
std::unique_ptr<TIcon> CopyOf(const TIcon *Icon) {
  if (!Icon) return nullptr;
  auto C = std::make_unique<TIcon>();
  C->Assign(*Icon);
  return C;
}

std::unique_ptr<TIcon> ResourceIcon(const std::string &ResName) {
  auto I = std::make_unique<TIcon>();
  I->LoadFromResource(ResName);
  return I;
}
} // namespace

void TIconList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TIconList::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange();
}

void TIconList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount())
    throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
}

TIcon *TIconList::Get(int Index) const {
  CheckIndex(Index);
  return FList[size_t(Index)].get();
}

void TIconList::Put(int Index, const TIcon *Icon) {
  CheckIndex(Index);
  FList[size_t(Index)] = CopyOf(Icon);
  Changed();
}

int TIconList::Add(const TIcon *Icon) { return AddOwned(CopyOf(Icon)); }

void TIconList::Insert(int Index, const TIcon *Icon) { InsertOwned(Index, CopyOf(Icon)); }

int TIconList::AddOwned(std::unique_ptr<TIcon> Icon) {
  FList.push_back(std::move(Icon));
  Changed();
  return GetCount() - 1;
}

void TIconList::InsertOwned(int Index, std::unique_ptr<TIcon> Icon) {
  if (Index < 0 || Index > GetCount()) CheckIndex(Index);
  FList.insert(FList.begin() + Index, std::move(Icon));
  Changed();
}

int TIconList::AddResource(const std::string &ResName) { return AddOwned(ResourceIcon(ResName)); }

void TIconList::InsertResource(int Index, const std::string &ResName) {
  // A bad index is refused before the resource is read.
  if (Index < 0 || Index > GetCount()) CheckIndex(Index);
  InsertOwned(Index, ResourceIcon(ResName));
}

void TIconList::Clear() {
  FList.clear();
  Changed();
}

void TIconList::Delete(int Index) {
  CheckIndex(Index);
  FList.erase(FList.begin() + Index);
  Changed();
}

void TIconList::Exchange(int A, int B) {
  CheckIndex(A);
  CheckIndex(B);
  std::swap(FList[size_t(A)], FList[size_t(B)]);
  Changed();
}

void TIconList::Move(int From, int To) {
  CheckIndex(From);
  CheckIndex(To);
  std::unique_ptr<TIcon> I = std::move(FList[size_t(From)]);
  FList.erase(FList.begin() + From);
  FList.insert(FList.begin() + To, std::move(I));
  Changed();
}

int TIconList::IndexOf(const TIcon *Icon) const {
  for (size_t I = 0; I < FList.size(); ++I)
    if (FList[I].get() == Icon) return int(I);
  return -1;
}

void TIconList::Assign(const TIconList &Source) {
  if (&Source == this) return;
  BeginUpdate();
  FList.clear();
  for (const auto &I : Source.FList) FList.push_back(CopyOf(I.get()));
  Changed();
  EndUpdate();
}

void TIconList::LoadFromStream(TMemoryStream &Stream) {
  const int32_t Count = int32_t(Stream.ReadU32());
  // Every entry takes at least its 4-byte size.
  if (Count < 0 || int64_t(Count) * 4 > Stream.Remaining()) throw EReadError(SReadError);
  std::vector<std::unique_ptr<TIcon>> Read;
  for (int32_t I = 0; I < Count; ++I) {
    const int32_t Size = int32_t(Stream.ReadU32());
    if (Size < 0 || Size > Stream.Remaining()) throw EReadError(SReadError);
    if (Size == 0) {
      Read.push_back(nullptr);
      continue;
    }
    TMemoryStream One;
    One.CopyFrom(Stream, Size);
    One.SetPosition(0);
    auto Icon = std::make_unique<TIcon>();
    Icon->LoadFromStream(One);
    Read.push_back(std::move(Icon));
  }
  BeginUpdate();
  FList = std::move(Read);
  Changed();
  EndUpdate();
}

void TIconList::SaveToStream(TMemoryStream &Stream) const {
  Stream.WriteU32(uint32_t(FList.size()));
  for (const auto &I : FList) {
    if (!I || I->Empty()) {
      Stream.WriteU32(0);
      continue;
    }
    TMemoryStream One;
    I->SaveToStream(One);
    Stream.WriteU32(uint32_t(One.Size()));
    Stream.Write(One.Bytes.data(), One.Bytes.size());
  }
}
