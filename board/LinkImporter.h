#pragma once

// Adding the links of the page the browser shows to the current page, as the
// exchange layer provides it (for the WebImport hotkey).
class LinkImporter
{
public:
    virtual ~LinkImporter() = default;
    virtual void ImportWebPage() = 0;
};
