/*
** The interface language that the host last gave to SetLanguage, and the rule that
** picks Russian or English texts from it.
*/
#ifndef FRAME_LANGUAGE_H
#define FRAME_LANGUAGE_H

/* Keeps a copy of the name; null means no name (English). */
void StoreLanguage(const wchar_t *language);

/* True exactly when the stored name is "Russian": case-sensitive, whole string. Asked
   afresh at every use, so a SetLanguage between two calls changes the second answer. */
bool IsLanguageRussian();

#endif /* FRAME_LANGUAGE_H */
