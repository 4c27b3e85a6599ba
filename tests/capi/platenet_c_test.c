/* Drives the learned reader's library from C: refusals with their cause, null paths and status texts. */
#include <stdio.h>
#include <string.h>

#include "platenet.h"

static int passed, failed;

#define CHECK(cond) \
    ((cond) ? (void)++passed : (void)(++failed, fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond)))

int main(void) {
    int status = -1;
    const unsigned char gif[] = "GIF89a....";
    const unsigned char cut[] = "PLATE";
    const unsigned char v2[] = {'P', 'L', 'A', 'T', 'E', 'N', 'E', 'T', 2, 0, 0, 0};
    pnet_reading reading;
    unsigned char page[16 * 16];

    CHECK(PNET_load_model_bytes(gif, sizeof gif - 1, &status) == NULL && status == PNET_FOREIGN);
    CHECK(PNET_load_model_bytes(cut, sizeof cut - 1, &status) == NULL && status == PNET_TRUNCATED);
    CHECK(PNET_load_model_bytes(v2, sizeof v2, &status) == NULL && status == PNET_BAD_VERSION);
    CHECK(PNET_load_model("/nonexistent/model.pnet", &status) == NULL && status == PNET_CANNOT_OPEN);
    CHECK(PNET_load_model(NULL, &status) == NULL && status == PNET_BAD_ARGUMENT);
    CHECK(PNET_load_model_bytes(gif, sizeof gif - 1, NULL) == NULL);

    memset(page, 200, sizeof page);
    reading.count = 5;
    CHECK(PNET_read_region(NULL, page, 16, 16, 16, 0, 0, 8, 8, NULL, 3, &reading) == PNET_BAD_ARGUMENT);
    CHECK(reading.count == 0);
    CHECK(PNET_read_region(NULL, page, 16, 16, 16, 0, 0, 8, 8, NULL, 3, NULL) == PNET_BAD_ARGUMENT);
    CHECK(PNET_input_height(NULL) == 0 && PNET_input_width(NULL) == 0 && PNET_charset(NULL) == NULL);
    PNET_free_model(NULL);

    CHECK(strcmp(PNET_status_text(PNET_FOREIGN), "not a model file") == 0);
    CHECK(strcmp(PNET_status_text(PNET_BAD_CHECKSUM), "model payload damaged (checksum mismatch)") == 0);
    CHECK(strcmp(PNET_status_text(-1), "unknown status") == 0);
    CHECK(strcmp(PNET_status_text(99), "unknown status") == 0);

    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
