#include "windows/map/CityListPane.h"

CCityListPane::CCityListPane(const CityListPaneServices& services)
{
}

CCityListPane::~CCityListPane() = default;

void CCityListPane::Build(HWND window, HWND mapChild, SetLocalStringProc setLocalString)
{
}

void CCityListPane::Layout()
{
}

bool CCityListPane::OnCommand(WORD id, WORD code)
{
    return false;
}

void CCityListPane::ShowPickedCity(const CityRecord* record)
{
}

bool CCityListPane::CityMode() const
{
    return true;
}

CityRecord* CCityListPane::SelectedCity() const
{
    return nullptr;
}

int CCityListPane::CityIndex(const CityRecord* city) const
{
    return -1;
}

void CCityListPane::PaintLinks(HDC dc) const
{
}

int CCityListPane::LinkAt(POINT client) const
{
    return -1;
}

void CCityListPane::OpenLink(int link)
{
}

void CCityListPane::SaveColumns()
{
}

HWND CCityListPane::List() const
{
    return nullptr;
}
