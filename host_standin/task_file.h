/*
** The task file: the Model as flat UTF-8 JSON (format in README.md), read and written
** without recursion so that a chain of any depth loads and saves.
*/
#ifndef STANDIN_TASK_FILE_H
#define STANDIN_TASK_FILE_H

#include <string>

#include "task_model.h"

/* Builds *model from the JSON text; false with *error naming the fault (and the task or
   contact by position) when the text is not a valid task file. */
bool ReadTaskJson(const std::string &utf8Json, Model *model, std::string *error);
/* The model as a task file: one task or contact per line, parents before children. */
std::string WriteTaskJson(const Model &model);

#endif
