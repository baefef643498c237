#pragma once
#include "platform/win32/CDialogBase.h"

#include <string>

// Asks for the appliance's address when neither discovery nor the factory address found it.
// OK needs a non-empty text, taken exactly as typed; Cancel asks for confirmation first.
class CAddressDlg : public CDialogBase
{
public:
    explicit CAddressDlg(HWND parent = nullptr);

    std::string m_strAddress;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    void OnOK() override;
    void OnCancel() override;
};
