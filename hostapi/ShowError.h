// The host's error box: a title, one line of text and one confirm button.
#pragma once

void ShowError(const char* text);
// ShowError with the text of message `message` of this module.
void ShowErrorMessage(int message);
