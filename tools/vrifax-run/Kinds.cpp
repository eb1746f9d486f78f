// The kind table.
#include "tools/vrifax-run/Kinds.h"

#include "vrifax/Rules.h"

namespace vrifax_run {
namespace {

// One-field rules under the table's two-field signature.
template <bool (*Rule)(std::u16string_view) noexcept>
bool OneField(std::u16string_view first, std::u16string_view) {
  return Rule(first);
}

template <bool (*Rule)(std::u16string_view, std::u16string_view) noexcept>
bool TwoFields(std::u16string_view first, std::u16string_view second) {
  return Rule(first, second);
}

}  // namespace

const KindRow kKinds[kKindCount] = {
    {Kind::Inn, "inn", CheckOrdinal::INN, false, &OneField<vrifax::IsValidInn>},
    {Kind::Snils, "snils", CheckOrdinal::PensionNumber, false, &OneField<vrifax::IsValidPensionNumber>},
    {Kind::Rs, "rs", CheckOrdinal::SettlementAccount, true, &TwoFields<vrifax::IsValidSettlementAccount>},
    {Kind::Ks, "ks", CheckOrdinal::CorrAccount, true, &TwoFields<vrifax::IsValidCorrAccount>},
    {Kind::Okpo, "okpo", CheckOrdinal::OKPO, false, &OneField<vrifax::IsValidOkpo>},
    {Kind::Ogrn, "ogrn", CheckOrdinal::OGRN, false, &OneField<vrifax::IsValidOgrn>},
    {Kind::UaAccount, "ua_account", CheckOrdinal::UkrAccount, true, &TwoFields<vrifax::IsValidUkrAccount>},
    {Kind::Egn, "egn", CheckOrdinal::EGN, false, &OneField<vrifax::IsValidEgn>},
};

const KindRow* FindKind(std::string_view name) {
  for (const KindRow& row : kKinds) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

}  // namespace vrifax_run
