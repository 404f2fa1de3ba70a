#include "NotifyPump.h"

#include "../control/ControlUI.h"

namespace Facet {

const FACET_MSGMAP_ENTRY CNotifyPump::_messageEntries[] = {
    {L"", L"", FacetSig_end, nullptr, nullptr},
};

const FACET_MSGMAP CNotifyPump::messageMap = {&CNotifyPump::_GetBaseMessageMap, &CNotifyPump::_messageEntries[0]};

const FACET_MSGMAP* CNotifyPump::_GetBaseMessageMap()
{
    return nullptr;
}

CNotifyPump::CNotifyPump() = default;

CNotifyPump::~CNotifyPump() = default;

const FACET_MSGMAP* CNotifyPump::GetMessageMap() const
{
    return &CNotifyPump::messageMap;
}

bool CNotifyPump::AddVirtualWnd(const wchar_t* name, CNotifyPump* pump)
{
    if (name == nullptr || m_VirtualWndMap.Find(name, false) != nullptr)
        return false;
    return m_VirtualWndMap.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const wchar_t* name)
{
    if (name == nullptr || m_VirtualWndMap.Find(name, false) == nullptr)
        return false;
    return m_VirtualWndMap.Remove(name);
}

void CNotifyPump::NotifyPump(TNotifyUI& msg)
{
    if (!msg.sVirtualWnd.IsEmpty()) {
        for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
            const wchar_t* key = m_VirtualWndMap.GetAt(i);
            if (key == nullptr || msg.sVirtualWnd.CompareNoCase(key) != 0)
                continue;
            // No move-to-front: the walk goes on over the same order.
            CNotifyPump* pump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
            if (pump != nullptr && pump->LoopDispatch(msg))
                return;
        }
    }
    LoopDispatch(msg);
}

const FACET_MSGMAP_ENTRY* FindMessageEntry(const FACET_MSGMAP& map, const wchar_t* type, const wchar_t* senderName)
{
    const FACET_MSGMAP_ENTRY* anyControl = nullptr;
    if (map.lpEntries == nullptr)
        return nullptr;
    for (const FACET_MSGMAP_ENTRY* entry = map.lpEntries; entry->nSig != FacetSig_end; ++entry) {
        if (entry->sMsgType != type)
            continue;
        if (entry->sCtrlName.IsEmpty())
            anyControl = entry;
        else if (senderName != nullptr && entry->sCtrlName == senderName)
            return entry;
    }
    return anyControl;
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg)
{
    const CFacetString senderName = msg.pSender != nullptr ? msg.pSender->GetName() : CFacetString();
    const FACET_MSGMAP* map = GetMessageMap();
    // A map that names itself as its base would loop: the walk is bounded.
    for (int depth = 0; map != nullptr && depth < 64; ++depth) {
        const FACET_MSGMAP_ENTRY* entry = FindMessageEntry(*map, msg.sType.GetData(), senderName.GetData());
        if (entry != nullptr) {
            switch (entry->nSig) {
            case FacetSig_lwl:
                if (entry->pfnParam == nullptr)
                    return false;
                (this->*(entry->pfnParam))(msg.wParam, msg.lParam);
                return true;
            case FacetSig_vn:
                if (entry->pfnNotify == nullptr)
                    return false;
                (this->*(entry->pfnNotify))(msg);
                return true;
            default:
                return false;
            }
        }
        map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr;
    }
    return false;
}

} // namespace Facet
