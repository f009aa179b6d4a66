#include "module/PanelBinding.h"

namespace qx {

static_assert(PanelModel::kAllChanged == LimiterModel::kAllChanged,
              "the panel and the model mean the same bit by 'everything changed'");

uint32_t PanelBinding::takeChanged() { return model_.takeChanged(); }

} // namespace qx
