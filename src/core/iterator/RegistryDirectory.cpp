#include "RegistryDirectory.h"

#include <algorithm>

bool RegistryDirectory::IsOpen(const CTorqDoc* document) const
{
    const auto& open = m_registry.Documents();
    return std::find(open.begin(), open.end(), document) != open.end();
}
